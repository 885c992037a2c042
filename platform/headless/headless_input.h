#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/input_device.h"

namespace grumbol::platform {

// Scripted keyboard and mouse. A test says what the player does (keys, movement, buttons,
// the window going to the background); the devices see it exactly as real ones would: the
// keyboard reads the keys' current state, the mouse buffers the events that come while it
// is taken. Devices must not outlive this object.
class HeadlessInput final : public InputSystem {
 public:
  struct Options {
    bool can_start = true;
    bool has_keyboard = true;
    bool has_mouse = true;
    bool mouse_set_up_fails = false;
    std::optional<int> wheel_granularity = 120;
  };

  // One thing the player does.
  struct Action {
    enum class Kind { kKeyDown, kKeyUp, kMove, kWheel, kButtonDown, kButtonUp };
    Kind kind;
    int a = 0;  // scan code, x movement, wheel movement, or button (1 primary, 2 secondary, 3
                // middle, 4)
    int b = 0;  // y movement
  };

  HeadlessInput() : HeadlessInput(Options{}) {}
  explicit HeadlessInput(Options options) : options_(options) {}

  bool Start() override;
  void Stop() override;
  std::unique_ptr<KeyboardDevice> CreateKeyboard() override;
  std::unique_ptr<MouseDevice> CreateMouse() override;

  // The player's actions, as they happen.
  void Do(const Action& action);
  void Do(const std::vector<Action>& actions) {
    for (const Action& action : actions) Do(action);
  }
  // The window going to the background takes the devices away; back in front they stay
  // away until acquired again.
  void SetForeground(bool foreground);
  void FailMouseSetUp(bool fail) { options_.mouse_set_up_fails = fail; }

  bool started() const { return started_; }
  bool mouse_acquired() const { return mouse_acquired_; }
  int mouse_set_ups() const { return mouse_set_ups_; }

 private:
  friend class HeadlessKeyboard;
  friend class HeadlessMouse;

  Options options_;
  bool started_ = false;
  bool foreground_ = true;
  KeyStates keys_{};
  bool keyboard_acquired_ = false;
  bool mouse_exists_ = false;
  bool mouse_acquired_ = false;
  int mouse_set_ups_ = 0;
  MouseRecordBuffer mouse_buffer_;
};

}  // namespace grumbol::platform
