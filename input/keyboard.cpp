#include "input/keyboard.h"

namespace grumbol {

Keyboard::Keyboard(InputService& input, Window& window) : input_(input), window_(window) {
  window_.AddObserver(this);
}

Keyboard::~Keyboard() {
  window_.RemoveObserver(this);
  EndKeyboard();
}

int Keyboard::StartKeyboard() {
  platform::InputSystem* system = input_.Open();
  // One reference per keyboard however often it is started, so that EndKeyboard's one
  // close lets the service go.
  if (started_) input_.Close();
  started_ = true;
  if (system == nullptr) return 0;
  if (state_ != State::kNoDevice) return 1;
  device_ = system->CreateKeyboard();
  if (!device_) return 0;
  state_ = State::kSetUpPending;
  return 1;
}

int Keyboard::PollKeyboard() {
  if (!device_) return 0;
  if (state_ == State::kSetUpPending) {
    device_->Acquire();
    state_ = State::kReadable;
  }
  if (!device_->ReadState(keys_)) {
    state_ = State::kSetUpPending;
    return 0;
  }
  return 1;
}

int Keyboard::IsKeyDown(int code) const {
  if (state_ != State::kReadable) return 0;
  if (code == -1) {
    // The last code (255) does not count as "any key".
    for (std::size_t i = 0; i + 1 < keys_.size(); ++i) {
      if (keys_[i] & platform::kKeyDownBit) return 1;
    }
    return 0;
  }
  if (code < 0 || code >= static_cast<int>(keys_.size())) return 0;
  return keys_[static_cast<std::size_t>(code)] & platform::kKeyDownBit;
}

void Keyboard::EndKeyboard() {
  if (!started_) return;
  if (device_) device_->Unacquire();
  device_.reset();
  state_ = State::kNoDevice;
  started_ = false;
  input_.Close();
}

}  // namespace grumbol
