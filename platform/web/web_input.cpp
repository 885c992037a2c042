#include "platform/web/web_input.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>

#include "platform/web/web_scan_codes.h"

namespace grumbol::platform {

namespace {

constexpr const char* kCanvas = "#canvas";
constexpr int kWheelNotch = 120;

// A dialog over the page owns the keyboard: its keys are neither read nor kept from it.
// clang-format off
EM_JS(int, DialogOpen, (), { return document.querySelector('dialog[open]') ? 1 : 0; });
// clang-format on
// clang-format off
EM_JS(int, PointerLocked, (),
      { return document.pointerLockElement === document.getElementById('canvas') ? 1 : 0; });
// clang-format on
// clang-format off
EM_JS(void, LockPointer, (), {
  const canvas = document.getElementById('canvas');
  // Refused (no gesture, an embedding page that forbids it): the pointer's place aims.
  if (canvas.requestPointerLock && document.pointerLockElement !== canvas) {
    const asked = canvas.requestPointerLock();
    if (asked && asked.catch) asked.catch(() => {});
  }
});
// clang-format on
// clang-format off
EM_JS(void, UnlockPointer, (), {
  if (document.pointerLockElement === document.getElementById('canvas'))
    document.exitPointerLock();
});
// clang-format on

// Keys the browser itself would act on stay with it when a modifier other than Shift is held:
// the player's own shortcuts (reload, close tab) keep working.
bool KeepFromBrowser(const EmscriptenKeyboardEvent& event) {
  if (event.ctrlKey || event.metaKey) return false;
  return std::string_view(event.code) != "F12";
}

}  // namespace

struct WebInputEvents {
  static EM_BOOL Key(int type, const EmscriptenKeyboardEvent* event, void* self) {
    auto& input = *static_cast<WebInput*>(self);
    if (DialogOpen() != 0) return EM_FALSE;
    const int code = KeyCodeFor(event->code);
    if (code != 0) input.keys_[code] = type == EMSCRIPTEN_EVENT_KEYDOWN ? kKeyDownBit : 0;
    return KeepFromBrowser(*event) ? EM_TRUE : EM_FALSE;
  }
  static EM_BOOL Blur(int, const EmscriptenFocusEvent*, void* self) {
    static_cast<WebInput*>(self)->ReleaseAll();  // the key-ups go elsewhere now
    return EM_FALSE;
  }
  static EM_BOOL Mouse(int type, const EmscriptenMouseEvent* event, void* self) {
    auto& input = *static_cast<WebInput*>(self);
    const bool locked = PointerLocked() != 0;
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
      if (locked)
        input.Move(static_cast<int>(event->movementX), static_cast<int>(event->movementY));
      else
        input.AimAt(static_cast<double>(event->targetX), static_cast<double>(event->targetY));
      return EM_FALSE;
    }
    if (type == EMSCRIPTEN_EVENT_MOUSEDOWN) {
      if (!locked) {
        input.AimAt(static_cast<double>(event->targetX), static_cast<double>(event->targetY));
        if (input.mouse_taken_) LockPointer();
      }
    }
    // The browser numbers the middle button 1 and the secondary 2.
    static constexpr int kButtons[] = {1, 3, 2, 4, 4};
    if (event->button >= 0 && event->button < 5)
      input.Button(kButtons[event->button], type == EMSCRIPTEN_EVENT_MOUSEDOWN);
    return EM_TRUE;
  }
  static EM_BOOL Wheel(int, const EmscriptenWheelEvent* event, void* self) {
    auto& input = *static_cast<WebInput*>(self);
    if (input.mouse_taken_ && event->deltaY != 0) {
      input.records_.Push({MouseObject::kWheel, event->deltaY < 0 ? kWheelNotch : -kWheelNotch});
    }
    return EM_TRUE;
  }
  static EM_BOOL Touch(int type, const EmscriptenTouchEvent* event, void* self) {
    auto& input = *static_cast<WebInput*>(self);
    for (int i = 0; i < event->numTouches; ++i) {
      const EmscriptenTouchPoint& touch = event->touches[i];
      if (touch.isChanged == 0) continue;
      if (type != EMSCRIPTEN_EVENT_TOUCHEND && type != EMSCRIPTEN_EVENT_TOUCHCANCEL)
        input.AimAt(static_cast<double>(touch.targetX), static_cast<double>(touch.targetY));
      if (type == EMSCRIPTEN_EVENT_TOUCHSTART) input.Button(1, true);
      if (type == EMSCRIPTEN_EVENT_TOUCHEND || type == EMSCRIPTEN_EVENT_TOUCHCANCEL)
        input.Button(1, false);
      break;  // one finger aims
    }
    return EM_TRUE;  // no scrolling, zooming or mouse events made up from the touch
  }
};

WebInput::~WebInput() { Stop(); }

bool WebInput::Start() {
  if (started_) return true;
  started_ = true;
  records_.Reset(0);
  auto* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window, this, EM_TRUE, &WebInputEvents::Key);
  emscripten_set_keyup_callback(window, this, EM_TRUE, &WebInputEvents::Key);
  emscripten_set_blur_callback(window, this, EM_TRUE, &WebInputEvents::Blur);
  emscripten_set_mousedown_callback(kCanvas, this, EM_TRUE, &WebInputEvents::Mouse);
  emscripten_set_mouseup_callback(window, this, EM_TRUE, &WebInputEvents::Mouse);
  emscripten_set_mousemove_callback(kCanvas, this, EM_TRUE, &WebInputEvents::Mouse);
  emscripten_set_wheel_callback(kCanvas, this, EM_TRUE, &WebInputEvents::Wheel);
  emscripten_set_touchstart_callback(kCanvas, this, EM_TRUE, &WebInputEvents::Touch);
  emscripten_set_touchmove_callback(kCanvas, this, EM_TRUE, &WebInputEvents::Touch);
  emscripten_set_touchend_callback(kCanvas, this, EM_TRUE, &WebInputEvents::Touch);
  emscripten_set_touchcancel_callback(kCanvas, this, EM_TRUE, &WebInputEvents::Touch);
  return true;
}

void WebInput::Stop() {
  if (!started_) return;
  started_ = false;
  auto* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window, nullptr, EM_TRUE, nullptr);
  emscripten_set_keyup_callback(window, nullptr, EM_TRUE, nullptr);
  emscripten_set_blur_callback(window, nullptr, EM_TRUE, nullptr);
  emscripten_set_mousedown_callback(kCanvas, nullptr, EM_TRUE, nullptr);
  emscripten_set_mouseup_callback(window, nullptr, EM_TRUE, nullptr);
  emscripten_set_mousemove_callback(kCanvas, nullptr, EM_TRUE, nullptr);
  emscripten_set_wheel_callback(kCanvas, nullptr, EM_TRUE, nullptr);
  emscripten_set_touchstart_callback(kCanvas, nullptr, EM_TRUE, nullptr);
  emscripten_set_touchmove_callback(kCanvas, nullptr, EM_TRUE, nullptr);
  emscripten_set_touchend_callback(kCanvas, nullptr, EM_TRUE, nullptr);
  emscripten_set_touchcancel_callback(kCanvas, nullptr, EM_TRUE, nullptr);
  UnlockPointer();
}

void WebInput::AimAt(double x, double y) {
  double css_width = 0;
  double css_height = 0;
  if (display_.width() == 0 ||
      emscripten_get_element_css_size(kCanvas, &css_width, &css_height) !=
          EMSCRIPTEN_RESULT_SUCCESS ||
      css_width <= 0 || css_height <= 0) {
    return;
  }
  const int to_x = static_cast<int>(std::floor(x * display_.width() / css_width));
  const int to_y = static_cast<int>(std::floor(y * display_.height() / css_height));
  Move(to_x - pointer_x_, to_y - pointer_y_);
}

void WebInput::Move(int dx, int dy) {
  if (!mouse_taken_ || (dx == 0 && dy == 0)) return;
  if (dx != 0) records_.PushMovement(MouseObject::kX, dx);
  if (dy != 0) records_.PushMovement(MouseObject::kY, dy);
  // Kept inside the screen as the game keeps its pointer.
  pointer_x_ = std::clamp(pointer_x_ + dx, 0, std::max(display_.width() - 1, 0));
  pointer_y_ = std::clamp(pointer_y_ + dy, 0, std::max(display_.height() - 1, 0));
}

void WebInput::Button(int button, bool down) {
  if (!mouse_taken_) return;
  static constexpr MouseObject kObjects[] = {MouseObject::kButton1, MouseObject::kButton2,
                                             MouseObject::kButton3, MouseObject::kButton4};
  records_.Push({kObjects[button - 1], down ? kKeyDownBit : 0});
}

void WebInput::ReleaseAll() { keys_.fill(0); }

class WebKeyboard final : public KeyboardDevice {
 public:
  explicit WebKeyboard(WebInput& input) : input_(input) {}
  ~WebKeyboard() override { Unacquire(); }
  WebKeyboard(const WebKeyboard&) = delete;
  WebKeyboard& operator=(const WebKeyboard&) = delete;

  void Acquire() override {
    if (input_.display_.visible()) input_.keyboard_taken_ = true;
  }
  void Unacquire() override { input_.keyboard_taken_ = false; }
  bool ReadState(KeyStates& keys) override {
    if (!input_.keyboard_taken_ || !input_.display_.visible()) return false;
    keys = input_.keys_;
    return true;
  }

 private:
  WebInput& input_;
};

class WebMouse final : public MouseDevice {
 public:
  explicit WebMouse(WebInput& input) : input_(input) {}
  ~WebMouse() override { Unacquire(); }
  WebMouse(const WebMouse&) = delete;
  WebMouse& operator=(const WebMouse&) = delete;

  bool SetUp(int buffer_size) override {
    input_.records_.Reset(buffer_size);
    return true;
  }
  bool Acquire() override {
    if (!input_.display_.visible()) return false;
    input_.mouse_taken_ = true;
    return true;
  }
  void Unacquire() override {
    if (!input_.mouse_taken_) return;
    input_.mouse_taken_ = false;
    input_.records_.Clear();
    UnlockPointer();
  }
  MouseReadResult Read(std::span<MouseRecord> records, int& count) override {
    count = 0;
    if (!input_.mouse_taken_ || !input_.display_.visible()) return MouseReadResult::kNotAcquired;
    return input_.records_.Take(records, count);
  }
  std::optional<int> WheelGranularity() override { return kWheelNotch; }

 private:
  WebInput& input_;
};

std::unique_ptr<KeyboardDevice> WebInput::CreateKeyboard() {
  return started_ ? std::make_unique<WebKeyboard>(*this) : nullptr;
}

std::unique_ptr<MouseDevice> WebInput::CreateMouse() {
  return started_ ? std::make_unique<WebMouse>(*this) : nullptr;
}

}  // namespace grumbol::platform
