#include "platform/sdl/sdl_input.h"

#include <array>
#include <string>
#include <string_view>

#include "platform/log.h"
#include "platform/motion_scale.h"
#include "platform/sdl/sdl_scan_codes.h"

namespace grumbol::platform {

namespace {

// Wheel units per notch, as the mice we stand in for report them.
constexpr int kWheelUnitsPerNotch = 120;

bool HasFocus(const SdlDisplay& display) {
  SDL_Window* focus = SDL_GetKeyboardFocus();
  return focus != nullptr && display.window_id() != 0 &&
         SDL_GetWindowID(focus) == display.window_id();
}

// Takes every queued event of the types first..last, handing each to `use`.
template <typename Use>
void TakeQueued(Uint32 first, Uint32 last, Use use) {
  std::array<SDL_Event, 64> events;
  int taken = 0;
  do {
    taken =
        SDL_PeepEvents(events.data(), static_cast<int>(events.size()), SDL_GETEVENT, first, last);
    for (int i = 0; i < taken; ++i) use(events[static_cast<std::size_t>(i)]);
  } while (taken == static_cast<int>(events.size()));
}

class SdlKeyboard final : public KeyboardDevice {
 public:
  explicit SdlKeyboard(const SdlDisplay& display) : display_(display) {}

  void Acquire() override {
    SDL_PumpEvents();
    if (!HasFocus(display_)) return;
    TakeSdlState();
    acquired_ = true;
  }

  void Unacquire() override { acquired_ = false; }

  bool ReadState(KeyStates& keys) override {
    SDL_PumpEvents();
    if (!acquired_ || !HasFocus(display_)) {
      acquired_ = false;
      SDL_FlushEvents(SDL_KEYDOWN, SDL_KEYUP);
      return false;
    }
    if (overflows_seen_ != display_.input_overflows()) {
      // Key events were lost: a lost key-up would leave its key down for good.
      TakeSdlState();
      keys = state_;
      return true;
    }
    // Down until its key-up: the repeated key-downs of auto-repeat change nothing.
    TakeQueued(SDL_KEYDOWN, SDL_KEYUP, [this](const SDL_Event& event) {
      if (event.key.windowID != display_.window_id()) return;
      const int code = KeyCodeFor(event.key.keysym.scancode);
      if (code != 0) {
        state_[static_cast<std::size_t>(code)] = event.type == SDL_KEYDOWN ? kKeyDownBit : 0;
      }
    });
    keys = state_;
    return true;
  }

 private:
  // SDL's own key state is what the queued events would make of it, lost ones included; it
  // also knows keys that went down while the keyboard was not ours.
  void TakeSdlState() {
    SDL_FlushEvents(SDL_KEYDOWN, SDL_KEYUP);
    overflows_seen_ = display_.input_overflows();
    state_.fill(0);
    int count = 0;
    const Uint8* sdl_keys = SDL_GetKeyboardState(&count);
    for (int i = 0; i < count; ++i) {
      const int code = KeyCodeFor(static_cast<SDL_Scancode>(i));
      if (sdl_keys[i] != 0 && code != 0) state_[static_cast<std::size_t>(code)] = kKeyDownBit;
    }
  }

  const SdlDisplay& display_;
  bool acquired_ = false;
  std::uint64_t overflows_seen_ = 0;
  KeyStates state_{};
};

class SdlMouse final : public MouseDevice {
 public:
  SdlMouse(const SdlDisplay& display, int speed, bool desktop_motion)
      : display_(display), desktop_motion_(desktop_motion), x_(speed), y_(speed) {}
  ~SdlMouse() override { Unacquire(); }
  SdlMouse(const SdlMouse&) = delete;
  SdlMouse& operator=(const SdlMouse&) = delete;

  bool SetUp(int buffer_size) override {
    buffer_.Reset(buffer_size);
    // SDL's Wayland relative mode reads the compositor's unaccelerated motion only.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (desktop_motion_ && driver != nullptr && std::string_view(driver) == "wayland")
      LogDetail("input: on Wayland the mouse's own counts; the desktop pointer's motion needs X11");
    return display_.window_id() != 0;
  }

  bool Acquire() override {
    SDL_PumpEvents();
    if (!HasFocus(display_)) return false;
    if (acquired_) return true;
    // The window system's own pointer motion, accelerated as the player set it, comes with the
    // pointer kept inside the window by warping; raw device motion otherwise.
    SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_MODE_WARP, desktop_motion_ ? "1" : "0");
    if (SDL_SetRelativeMouseMode(SDL_TRUE) != 0) {
      // Asked again at every poll: said once.
      if (!relative_refused_) LogDetail(std::string("input: no relative mouse: ") + SDL_GetError());
      relative_refused_ = true;
      return false;
    }
    // The device reports only what happens while it is taken, starting from the buttons as
    // they are now: one let go in the background reads up.
    SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
    buffer_.Clear();
    PushButtonState();
    acquired_ = true;
    return true;
  }

  void Unacquire() override {
    if (!acquired_) return;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    acquired_ = false;
  }

  MouseReadResult Read(std::span<MouseRecord> records, int& count) override {
    count = 0;
    SDL_PumpEvents();
    if (!acquired_ || !HasFocus(display_)) {
      Unacquire();
      SDL_FlushEvents(SDL_MOUSEMOTION, SDL_MOUSEWHEEL);
      return MouseReadResult::kNotAcquired;
    }
    TakeQueued(SDL_MOUSEMOTION, SDL_MOUSEWHEEL, [this](const SDL_Event& event) { Gather(event); });
    // Button events were lost: the buttons as SDL knows them now come last.
    if (overflows_seen_ != display_.input_overflows()) PushButtonState();
    return buffer_.Take(records, count);
  }

  std::optional<int> WheelGranularity() override { return kWheelUnitsPerNotch; }

 private:
  void Gather(const SDL_Event& event) {
    switch (event.type) {
      case SDL_MOUSEMOTION:
        if (!Ours(event.motion.windowID, event.motion.which)) return;
        if (const int dx = x_.Scale(event.motion.xrel)) buffer_.PushMovement(MouseObject::kX, dx);
        if (const int dy = y_.Scale(event.motion.yrel)) buffer_.PushMovement(MouseObject::kY, dy);
        return;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        if (!Ours(event.button.windowID, event.button.which)) return;
        const std::optional<MouseObject> button = ButtonFor(event.button.button);
        if (button) {
          buffer_.Push({*button, event.type == SDL_MOUSEBUTTONDOWN ? kKeyDownBit : 0});
        }
        return;
      }
      case SDL_MOUSEWHEEL: {
        if (!Ours(event.wheel.windowID, event.wheel.which)) return;
        const int notches =
            event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        if (notches != 0) buffer_.Push({MouseObject::kWheel, notches * kWheelUnitsPerNotch});
        return;
      }
      default: return;
    }
  }

  // Events of our window from a real mouse, not touches that SDL passes on as a mouse.
  bool Ours(Uint32 window_id, Uint32 which) const {
    return window_id == display_.window_id() && which != SDL_TOUCH_MOUSEID;
  }

  static std::optional<MouseObject> ButtonFor(Uint8 sdl_button) {
    switch (sdl_button) {
      case SDL_BUTTON_LEFT: return MouseObject::kButton1;
      case SDL_BUTTON_RIGHT: return MouseObject::kButton2;
      case SDL_BUTTON_MIDDLE: return MouseObject::kButton3;
      case SDL_BUTTON_X1: return MouseObject::kButton4;
      default: return std::nullopt;  // beyond the four buttons a mouse device reports
    }
  }

  void PushButtonState() {
    overflows_seen_ = display_.input_overflows();
    // From the system, not from the events SDL has seen: a button let go over another window
    // sent us no event.
    const Uint32 buttons = SDL_GetGlobalMouseState(nullptr, nullptr);
    for (const Uint8 button :
         {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE, SDL_BUTTON_X1}) {
      const bool down = (buttons & SDL_BUTTON(button)) != 0;
      buffer_.Push({*ButtonFor(button), down ? kKeyDownBit : 0});
    }
  }

  const SdlDisplay& display_;
  bool desktop_motion_;
  bool relative_refused_ = false;
  bool acquired_ = false;
  std::uint64_t overflows_seen_ = 0;
  MotionScale x_, y_;  // the player's mouse speed
  MouseRecordBuffer buffer_;
};

}  // namespace

bool SdlInput::Start() {
  if (video_) return true;
  sdl::VideoSubsystemRef video;
  if (!video.HasUsableDisplay()) return false;
  // Without it SDL drops a click that comes right after the window got the focus.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  video_.emplace(std::move(video));
  return true;
}

std::unique_ptr<KeyboardDevice> SdlInput::CreateKeyboard() {
  if (!video_) return nullptr;
  return std::make_unique<SdlKeyboard>(display_);
}

std::unique_ptr<MouseDevice> SdlInput::CreateMouse() {
  if (!video_) return nullptr;
  return std::make_unique<SdlMouse>(display_, mouse_speed_, desktop_motion_);
}

}  // namespace grumbol::platform
