#pragma once

#include "platform/pixel_layout.h"
#include "platform/surface.h"

namespace grumbol {

// Told by the window of what other parts of the media layer must follow.
class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  // The video is being started: the keyboard starts with it. False makes the start fail.
  virtual bool OnVideoStarting() { return true; }
  // The screen's resources are being released: every sprite must go.
  virtual void OnScreenReleased() {}
  // The window lost the focus: input devices let go.
  virtual void OnDeactivated() {}
};

// A picture laid over every presented frame, above everything the game drew and never into
// the back buffer (the playing movie's picture).
class FrameOverlay {
 public:
  virtual ~FrameOverlay() = default;
  // When there is anything to lay over the frame now: makes `frame` a copy of `back_buffer`,
  // draws onto it and returns true. Otherwise leaves `frame` alone and returns false.
  virtual bool DrawOver(const Surface& back_buffer, Surface& frame, PixelLayout layout) = 0;
};

// What sound, movies and input need of the program's window; the screen provides it. They
// see no more of it, so none of them depends on how frames are drawn and shown.
class Window {
 public:
  // An observer stays registered until it removes itself (at the latest in its destructor).
  virtual void AddObserver(WindowObserver* observer) = 0;
  virtual void RemoveObserver(WindowObserver* observer) = 0;
  // The overlay laid over each presented frame; null for none.
  virtual void SetFrameOverlay(FrameOverlay* overlay) = 0;

  // 1 when the window exists (made now if needed), else 0.
  virtual int CreateScreenWindow() = 0;
  // Takes a reference on the video system; true while it is up.
  virtual bool AcquireVideo() = 0;
  virtual void ReleaseVideo() = 0;

  virtual int ScreenHasFocus() const = 0;
  // The open screen's size; 0 x 0 while none is open.
  virtual int screen_width() const = 0;
  virtual int screen_height() const = 0;

 protected:
  ~Window() = default;
};

}  // namespace grumbol
