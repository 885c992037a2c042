#pragma once

#include <memory>
#include <optional>

#include "platform/input_device.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_handles.h"

namespace grumbol::platform {

// Keyboard and mouse on SDL2, for the display's window. The devices gather their events
// from SDL's queue when they are read (key and mouse events only; window events stay for
// the display), so what happened before a poll shows in the frame drawn after it. The
// mouse works in SDL's relative mode while it is taken. The display must outlive this
// object and its devices.
class SdlInput final : public InputSystem {
 public:
  // `mouse_speed`: the cross-hair's movement for each mouse count, in percent of a pixel;
  // `desktop_motion`: the counts as the window system's pointer moves (its acceleration
  // applied), else the device's own.
  explicit SdlInput(const SdlDisplay& display, int mouse_speed = 100, bool desktop_motion = false)
      : display_(display), mouse_speed_(mouse_speed), desktop_motion_(desktop_motion) {}

  bool Start() override;
  void Stop() override { video_.reset(); }
  std::unique_ptr<KeyboardDevice> CreateKeyboard() override;
  std::unique_ptr<MouseDevice> CreateMouse() override;

 private:
  const SdlDisplay& display_;
  int mouse_speed_;
  bool desktop_motion_;
  std::optional<sdl::VideoSubsystemRef> video_;
};

}  // namespace grumbol::platform
