#pragma once

#include "input/keyboard.h"
#include "input/mouse.h"

namespace grumbol::game {

// What the game reads of the player: taken once a step by Poll (the mouse, then the keyboard)
// and asked by the rest of the step. The player at the keyboard, or a recorded one.
class PlayerInput {
 public:
  virtual ~PlayerInput() = default;
  virtual void Poll() = 0;
  virtual int PointerX() const = 0;
  virtual int PointerY() const = 0;
  // Button 1 is the primary one, 2 the secondary, 3 the middle.
  virtual bool IsButtonDown(int button) const = 0;
  // By scan code.
  virtual bool IsKeyDown(int code) const = 0;
};

// The player at the keyboard and mouse.
class LiveInput final : public PlayerInput {
 public:
  LiveInput(Keyboard& keyboard, Mouse& mouse) : keyboard_(keyboard), mouse_(mouse) {}

  void Poll() override {
    mouse_.PollMouse();
    keyboard_.PollKeyboard();
  }
  int PointerX() const override { return mouse_.PointerX(); }
  int PointerY() const override { return mouse_.PointerY(); }
  bool IsButtonDown(int button) const override { return mouse_.IsButtonDown(button) != 0; }
  bool IsKeyDown(int code) const override { return keyboard_.IsKeyDown(code) != 0; }

 private:
  Keyboard& keyboard_;
  Mouse& mouse_;
};

}  // namespace grumbol::game
