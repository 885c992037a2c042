#pragma once

#include <memory>

#include "input/input_service.h"
#include "platform/input_device.h"
#include "runtime/window.h"

namespace grumbol {

// A snapshot of every key, taken once per frame, asked by key code (a key's
// position, not the character printed on it).
class Keyboard final : public WindowObserver {
 public:
  enum class State {
    kNoDevice = 0,
    kSetUpPending = 1,  // the next poll takes the keyboard for the window
    kReadable = 2,      // the last poll read the keys
  };

  // The keyboard starts with the window's video (see OnVideoStarting).
  Keyboard(InputService& input, Window& window);
  ~Keyboard() override;
  Keyboard(const Keyboard&) = delete;
  Keyboard& operator=(const Keyboard&) = delete;

  // Non-zero on success, also when the keyboard was started already; 0 on failure.
  int StartKeyboard();
  // 1 when the keys were read, else 0 (every key then reads as up until a poll works).
  int PollKeyboard();
  // 128 while the key was down at the last poll, else 0; code -1 asks for any key and
  // answers 1 or 0.
  int IsKeyDown(int code) const;
  void EndKeyboard();

  State state() const { return state_; }

  bool OnVideoStarting() override { return StartKeyboard() != 0; }

 private:
  InputService& input_;
  Window& window_;
  std::unique_ptr<platform::KeyboardDevice> device_;
  bool started_ = false;
  State state_ = State::kNoDevice;
  platform::KeyStates keys_{};
};

}  // namespace grumbol
