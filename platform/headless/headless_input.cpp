#include "platform/headless/headless_input.h"

namespace grumbol::platform {

class HeadlessKeyboard final : public KeyboardDevice {
 public:
  explicit HeadlessKeyboard(HeadlessInput& input) : input_(input) {}
  ~HeadlessKeyboard() override { Unacquire(); }

  void Acquire() override { input_.keyboard_acquired_ = input_.foreground_; }
  void Unacquire() override { input_.keyboard_acquired_ = false; }
  bool ReadState(KeyStates& keys) override {
    if (!input_.keyboard_acquired_) return false;
    keys = input_.keys_;
    return true;
  }

 private:
  HeadlessInput& input_;
};

class HeadlessMouse final : public MouseDevice {
 public:
  explicit HeadlessMouse(HeadlessInput& input) : input_(input) { input_.mouse_exists_ = true; }
  ~HeadlessMouse() override {
    Unacquire();
    input_.mouse_exists_ = false;
  }

  bool SetUp(int buffer_size) override {
    if (input_.options_.mouse_set_up_fails) return false;
    ++input_.mouse_set_ups_;
    input_.mouse_buffer_.Reset(buffer_size);
    return true;
  }
  bool Acquire() override {
    if (!input_.foreground_) return false;
    if (!input_.mouse_acquired_) input_.mouse_buffer_.Clear();
    input_.mouse_acquired_ = true;
    return true;
  }
  void Unacquire() override { input_.mouse_acquired_ = false; }
  MouseReadResult Read(std::span<MouseRecord> records, int& count) override {
    count = 0;
    if (!input_.mouse_acquired_) return MouseReadResult::kNotAcquired;
    return input_.mouse_buffer_.Take(records, count);
  }
  std::optional<int> WheelGranularity() override { return input_.options_.wheel_granularity; }

 private:
  HeadlessInput& input_;
};

bool HeadlessInput::Start() {
  if (!options_.can_start) return false;
  started_ = true;
  return true;
}

void HeadlessInput::Stop() { started_ = false; }

std::unique_ptr<KeyboardDevice> HeadlessInput::CreateKeyboard() {
  if (!started_ || !options_.has_keyboard) return nullptr;
  return std::make_unique<HeadlessKeyboard>(*this);
}

std::unique_ptr<MouseDevice> HeadlessInput::CreateMouse() {
  if (!started_ || !options_.has_mouse || mouse_exists_) return nullptr;
  return std::make_unique<HeadlessMouse>(*this);
}

void HeadlessInput::Do(const Action& action) {
  using Kind = Action::Kind;
  switch (action.kind) {
    case Kind::kKeyDown:
    case Kind::kKeyUp:
      if (action.a >= 0 && action.a < static_cast<int>(keys_.size())) {
        keys_[static_cast<std::size_t>(action.a)] = action.kind == Kind::kKeyDown ? kKeyDownBit : 0;
      }
      return;
    default: break;
  }
  // Mouse events reach only a mouse that is taken.
  if (!mouse_acquired_) return;
  switch (action.kind) {
    case Kind::kMove:
      if (action.a != 0) mouse_buffer_.Push({MouseObject::kX, action.a});
      if (action.b != 0) mouse_buffer_.Push({MouseObject::kY, action.b});
      break;
    case Kind::kWheel: mouse_buffer_.Push({MouseObject::kWheel, action.a}); break;
    case Kind::kButtonDown:
    case Kind::kButtonUp:
      if (action.a >= 1 && action.a <= 4) {
        const auto button =
            static_cast<MouseObject>(static_cast<int>(MouseObject::kButton1) + action.a - 1);
        mouse_buffer_.Push({button, action.kind == Kind::kButtonDown ? kKeyDownBit : 0});
      }
      break;
    default: break;
  }
}

void HeadlessInput::SetForeground(bool foreground) {
  foreground_ = foreground;
  if (!foreground) keyboard_acquired_ = mouse_acquired_ = false;
}

}  // namespace grumbol::platform
