#pragma once

#include <memory>

#include "platform/input_device.h"
#include "platform/web/web_display.h"

namespace grumbol::platform {

// Keyboard, mouse and touch in a web page. Keys by KeyboardEvent.code, kept from the browser
// while the game has the page (no dialog open). The mouse moves the cross-hair by Pointer Lock's
// relative movement once the player has clicked the game; until then, and where the browser
// refuses the lock, by the pointer's place on the canvas: the movement that brings the game's
// pointer there. A finger down aims there and presses the button; lifting it lets go.
//
// The browser delivers events while the game waits (for a frame, a timer or a dialog); they
// gather here and the devices read them when polled. The display must outlive this object.
class WebInput final : public InputSystem {
 public:
  explicit WebInput(const WebDisplay& display) : display_(display) {}
  ~WebInput() override;
  WebInput(const WebInput&) = delete;
  WebInput& operator=(const WebInput&) = delete;

  bool Start() override;
  void Stop() override;
  std::unique_ptr<KeyboardDevice> CreateKeyboard() override;
  std::unique_ptr<MouseDevice> CreateMouse() override;

 private:
  friend struct WebInputEvents;  // the browser's callbacks
  friend class WebKeyboard;
  friend class WebMouse;

  // Moves the game's pointer, as far as this side knows it, to the canvas position (x, y) in
  // CSS pixels.
  void AimAt(double x, double y);
  void Move(int dx, int dy);
  void Button(int button, bool down);
  void ReleaseAll();

  const WebDisplay& display_;
  bool started_ = false;
  KeyStates keys_{};
  bool keyboard_taken_ = false;
  bool mouse_taken_ = false;
  MouseRecordBuffer records_;
  // Where the game's pointer stands: it starts at the top-left corner and is kept inside the
  // screen as the game keeps it, so a move to a place is the difference from here.
  int pointer_x_ = 0;
  int pointer_y_ = 0;
};

}  // namespace grumbol::platform
