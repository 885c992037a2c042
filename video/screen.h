#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/display.h"
#include "video/drawing_target.h"
#include "video/game_clock.h"
#include "video/pixel_format.h"
#include "video/surface.h"

namespace grumbol {

// Told by the screen of what other parts of the media layer must follow.
class ScreenObserver {
 public:
  virtual ~ScreenObserver() = default;
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

// The program's window and its full-screen display: the back buffer that sprites and text
// are drawn into, frame presentation with the window-event pump, and the focus state.
class Screen {
 public:
  Screen(platform::Display& display, platform::Clock& clock);
  ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  // An observer stays registered until it removes itself (at the latest in its destructor).
  void AddObserver(ScreenObserver* observer) { observers_.push_back(observer); }
  void RemoveObserver(ScreenObserver* observer) { std::erase(observers_, observer); }
  // The overlay laid over each presented frame; null for none.
  void SetFrameOverlay(FrameOverlay* overlay) { overlay_ = overlay; }
  // The keyboard start that StartVideo runs (the keyboard module wires it).
  void SetKeyboardStarter(std::function<int()> start_keyboard) {
    start_keyboard_ = std::move(start_keyboard);
  }

  // Creates the window, starts the keyboard and the video system. Non-zero on success.
  int StartVideo();
  // 1 when the window exists (made now if needed), else 0.
  int CreateScreenWindow();
  // Takes a reference on the video system; true while it is up.
  bool OpenDirectDraw();
  void CloseDirectDraw();

  // Opens the full screen (closing one still open, which frees every sprite). Width, height
  // and depth are taken as signed 16-bit values. 1 on success, 0 on failure.
  int EnterScreenMode(int width, int height, int depth, std::string_view title);
  // Ends one step of the game: pumps the window events and, while the window has the focus,
  // presents the back buffer; then waits for the next step's time. The steps keep their beat
  // of 60 a second also while nothing is shown (in the background, with no screen open).
  void ShowFrame();
  // Gives the display back; every sprite is freed. Harmless when no screen is open.
  void LeaveScreenMode();
  void EndVideo();

  int ScreenHasFocus() const { return active_ ? 1 : 0; }
  const GameClock::Stats& step_stats() const { return steps_.stats(); }

  // For drawing: sprites and fills go to target() (null while no screen is open) and only
  // while active().
  bool active() const { return active_; }
  Surface* target() { return back_buffer_.Valid() ? &back_buffer_ : nullptr; }
  int depth() const { return depth_; }
  PixelLayout layout() const { return layout_; }
  int screen_width() const { return screen_width_; }
  int screen_height() const { return screen_height_; }

  // Lends the back buffer to text drawing; none while it is lent already, while no screen
  // is open, or while the window is in the background.
  std::optional<DrawingTarget> BackBufferTarget();
  void ReleaseBackBufferTarget() { back_buffer_lent_ = false; }

 private:
  void ReleaseScreenResources();
  void HandleWindowEvent(platform::WindowEvent event);

  platform::Display& display_;
  GameClock steps_;
  std::vector<ScreenObserver*> observers_;
  std::function<int()> start_keyboard_;
  FrameOverlay* overlay_ = nullptr;

  bool window_holds_video_ = false;  // the window keeps the video system up while it lives
  bool video_up_ = false;
  int video_users_ = 0;
  bool started_ = false;

  Surface back_buffer_;
  Surface presented_;  // the back buffer with the overlay on it, while there is one
  bool back_buffer_lent_ = false;
  int screen_width_ = 0;
  int screen_height_ = 0;
  int depth_ = 0;
  PixelLayout layout_ = PixelLayout::kNone;
  bool active_ = false;
  bool restore_pending_ = false;  // the focus came back: the next frame sets the mode again
};

}  // namespace grumbol
