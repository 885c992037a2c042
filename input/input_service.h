#pragma once

#include "platform/input_device.h"

namespace grumbol {

// The input service that the keyboard and the mouse share, brought up by its first user
// and taken down when the last one closes it.
class InputService {
 public:
  explicit InputService(platform::InputSystem& system) : system_(system) {}
  ~InputService() {
    if (up_) system_.Stop();
  }
  InputService(const InputService&) = delete;
  InputService& operator=(const InputService&) = delete;

  // Counts one more user, also when the service cannot be brought up (the next call tries
  // again). The service, or null.
  platform::InputSystem* Open() {
    if (!up_) up_ = system_.Start();
    ++users_;
    return up_ ? &system_ : nullptr;
  }

  // Counts one user less; the last one takes the service down.
  void Close() {
    --users_;
    if (up_ && users_ <= 0) {
      system_.Stop();
      up_ = false;
    }
  }

  int users() const { return users_; }

 private:
  platform::InputSystem& system_;
  bool up_ = false;
  int users_ = 0;
};

}  // namespace grumbol
