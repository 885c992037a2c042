#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/pixel_layout.h"
#include "platform/surface.h"
#include "runtime/window.h"
#include "video/drawing_target.h"
#include "video/game_clock.h"

namespace grumbol {

// The program's window and its full-screen display: the back buffer that sprites and text
// are drawn into, frame presentation with the window-event pump, and the focus state.
class Screen final : public Window {
 public:
  Screen(platform::Display& display, platform::Clock& clock);
  ~Screen();
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;

  void AddObserver(WindowObserver* observer) override { observers_.push_back(observer); }
  void RemoveObserver(WindowObserver* observer) override { std::erase(observers_, observer); }
  void SetFrameOverlay(FrameOverlay* overlay) override { overlay_ = overlay; }

  // Creates the window, starts the keyboard (through its observer) and the video system.
  // Non-zero on success.
  int StartVideo();
  int CreateScreenWindow() override;
  bool AcquireVideo() override;
  void ReleaseVideo() override;

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

  int ScreenHasFocus() const override { return active_ ? 1 : 0; }
  const GameClock::Stats& step_stats() const { return steps_.stats(); }

  // For drawing: sprites and fills go to target() (null while no screen is open) and only
  // while active().
  bool active() const { return active_; }
  Surface* target() { return back_buffer_.Valid() ? &back_buffer_ : nullptr; }
  int depth() const { return depth_; }
  PixelLayout layout() const { return layout_; }
  int screen_width() const override { return screen_width_; }
  int screen_height() const override { return screen_height_; }

  // Lends the back buffer to text drawing; none while it is lent already, while no screen
  // is open, or while the window is in the background.
  std::optional<DrawingTarget> BackBufferTarget();
  void ReleaseBackBufferTarget() { back_buffer_lent_ = false; }

 private:
  void ReleaseScreenResources();
  void HandleWindowEvent(platform::WindowEvent event);
  void LogFocus(const char* what) const;

  platform::Display& display_;
  GameClock steps_;
  std::vector<WindowObserver*> observers_;
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
