#include "input/mouse.h"

#include <span>

namespace grumbol {

namespace {

int Clamp(int position, int delta, int size) {
  // In 64 bits: a far SetPointerPosition plus a large movement must not wrap.
  const long long s = static_cast<long long>(position) + delta;
  if (s < 0) return 0;
  if (s >= size) return size - 1;
  return static_cast<int>(s);
}

}  // namespace

Mouse::Mouse(InputService& input, Window& window) : input_(input), window_(window) {
  window_.AddObserver(this);
}

Mouse::~Mouse() {
  window_.RemoveObserver(this);
  EndMouse();
}

int Mouse::StartMouse() {
  platform::InputSystem* system = input_.Open();
  if (started_) input_.Close();  // one reference per mouse
  started_ = true;
  if (system == nullptr) return 0;
  device_.reset();
  device_ = system->CreateMouse();
  if (!device_) return 0;
  set_up_ = false;
  suspended_ = false;
  return 1;
}

void Mouse::SetUpDevice() {
  if (!device_->SetUp(kBufferRecords) || !device_->Acquire()) return;
  set_up_ = true;
  wheel_step_ = device_->WheelGranularity().value_or(1);
}

int Mouse::PollMouse() {
  delta_x_ = delta_y_ = delta_wheel_ = 0;
  if (!device_) return 0;
  // With no screen open there is nothing to point at and no size to keep the pointer in.
  const bool screen_open = window_.screen_width() > 0 && window_.screen_height() > 0;
  if (suspended_ || window_.ScreenHasFocus() == 0 || !screen_open) {
    device_->Unacquire();
    return 0;
  }
  if (!set_up_) SetUpDevice();

  int count = 0;
  switch (device_->Read(records_, count)) {
    case platform::MouseReadResult::kOk: break;
    case platform::MouseReadResult::kOverflow: buttons_[0] = buttons_[1] = 0; return 0;
    case platform::MouseReadResult::kNotAcquired:
      if (window_.ScreenHasFocus() != 0) device_->Acquire();
      return 0;
    case platform::MouseReadResult::kFailed: return 0;
  }

  using platform::MouseObject;
  for (const platform::MouseRecord& record :
       std::span(records_).first(static_cast<std::size_t>(count))) {
    const int pressed = (record.data & platform::kKeyDownBit) != 0 ? 1 : 0;
    switch (record.object) {
      case MouseObject::kX: delta_x_ += record.data; break;
      case MouseObject::kY: delta_y_ += record.data; break;
      case MouseObject::kWheel: delta_wheel_ += record.data; break;
      case MouseObject::kButton1: buttons_[0] = pressed; break;
      case MouseObject::kButton2: buttons_[1] = pressed; break;
      case MouseObject::kButton3: buttons_[2] = pressed; break;
      case MouseObject::kButton4: break;
    }
  }
  x_ = Clamp(x_, delta_x_, window_.screen_width());
  y_ = Clamp(y_, delta_y_, window_.screen_height());
  return 1;
}

int Mouse::IsButtonDown(int n) const {
  if (n < 1 || n > static_cast<int>(buttons_.size())) return 0;
  return buttons_[static_cast<std::size_t>(n - 1)];
}

int Mouse::PointerWheel() {
  if (wheel_step_ == 0) wheel_step_ = 1;
  return delta_wheel_ / wheel_step_;
}

void Mouse::SuspendMouse(int flag) {
  if (flag != 1) {
    suspended_ = false;
    return;
  }
  set_up_ = false;
  suspended_ = true;
  if (device_) device_->Unacquire();
}

void Mouse::EndMouse() {
  if (!started_) return;
  device_.reset();  // the device gives the pointer back as it goes
  started_ = false;
  input_.Close();
}

void Mouse::OnDeactivated() {
  if (device_) device_->Unacquire();
}

void Mouse::OnScreenReleased() {
  if (device_) device_->Unacquire();
}

}  // namespace grumbol
