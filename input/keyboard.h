#pragma once

#include <memory>

#include "input/direct_input.h"
#include "platform/input_device.h"
#include "video/screen.h"

namespace grumbol {

// A snapshot of every key, taken once per frame, asked by DirectInput scan code (a key's
// position, not the character printed on it).
class Keyboard {
 public:
  enum class State {
    kNoDevice = 0,
    kSetUpPending = 1,  // the next poll takes the keyboard for the window
    kReadable = 2,      // the last poll read the keys
  };

  // Registers the keyboard start that the screen's StartVideo runs.
  Keyboard(DirectInput& input, Screen& screen);
  ~Keyboard();
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

 private:
  DirectInput& input_;
  Screen& screen_;
  std::unique_ptr<platform::KeyboardDevice> device_;
  bool started_ = false;
  State state_ = State::kNoDevice;
  platform::KeyStates keys_{};
};

}  // namespace grumbol
