#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/pixel_layout.h"

namespace grumbol::platform {

// What the window system tells the program's window; gathered by PollWindowEvent.
enum class WindowEvent {
  kFocusGained,
  kFocusLost,
  kCloseRequested,  // Alt+F4, the close button, a window manager's request
  kTabKeyUp,
  kAltKeyUp,
};

// The program's one window and the full-screen display it shows frames on.
class Display {
 public:
  virtual ~Display() = default;

  // Brings up the video system. Reference-counted by the caller; false when there is no
  // usable display (no X server, only an off-screen driver).
  virtual bool StartVideoSystem() = 0;
  virtual void StopVideoSystem() = 0;

  // Creates the program's window, hidden. True when it exists (also when it already did).
  virtual bool CreateWindow() = 0;
  virtual bool HasWindow() const = 0;

  // Shows the window full screen with frames of width x height at the given depth and sets
  // its title. Returns the pixel layout of the frames it takes; none when the screen cannot
  // be opened.
  virtual std::optional<PixelLayout> OpenScreen(int width, int height, int depth,
                                                const std::string& title) = 0;
  // Gives the display back to the desktop and hides the window. Harmless when not open.
  virtual void CloseScreen() = 0;
  // Sets the screen up again after the program got the focus back.
  virtual void RestoreScreen() = 0;

  // Shows one frame: `pitch` bytes per row, in the layout OpenScreen returned. Waits for the
  // vertical blank where the display has one.
  virtual void Present(const std::uint8_t* pixels, int pitch) = 0;
  // The refresh rate Present waits for, in Hz; 0 when it does not wait or the rate is unknown.
  virtual double VsyncRefreshHz() const = 0;

  // Takes the next window event; false when none is waiting.
  virtual bool PollWindowEvent(WindowEvent& event) = 0;

  virtual void ShowCursor(bool visible) = 0;
};

}  // namespace grumbol::platform
