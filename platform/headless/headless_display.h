#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "platform/display.h"
#include "platform/null/manual_clock.h"
#include "platform/pixel_layout.h"
#include "platform/surface.h"

namespace grumbol::platform {

// A display that shows nothing: it keeps the last presented frame in memory, takes window
// events from the test, and, given a refresh period, makes Present wait for a virtual
// vertical blank by moving the manual clock on to it.
class HeadlessDisplay final : public Display {
 public:
  struct Options {
    bool has_display = true;              // false: like a machine without an X server
    bool can_open_screen = true;          // false: the screen mode cannot be set
    std::uint64_t refresh_period_us = 0;  // 0: no vertical blank to wait for
    double claimed_refresh_hz = 0;        // told without waiting for it, like a broken vsync
  };

  explicit HeadlessDisplay(ManualClock& clock) : HeadlessDisplay(clock, Options{}) {}
  HeadlessDisplay(ManualClock& clock, Options options) : clock_(clock), options_(options) {}

  bool StartVideoSystem() override;
  void StopVideoSystem() override;
  bool CreateWindow() override;
  bool HasWindow() const override { return has_window_; }
  std::optional<PixelLayout> OpenScreen(int width, int height, int depth,
                                        const std::string& title) override;
  void CloseScreen() override;
  void RestoreScreen() override { ++restores_; }
  void Present(const std::uint8_t* pixels, int pitch) override;
  double VsyncRefreshHz() const override {
    if (options_.refresh_period_us == 0) return options_.claimed_refresh_hz;
    return 1e6 / static_cast<double>(options_.refresh_period_us);
  }
  bool PollWindowEvent(WindowEvent& event) override;
  void ShowCursor(bool visible) override { cursor_visible_ = visible; }

  // What a test injects and inspects.
  void InjectEvent(WindowEvent event) { events_.push_back(event); }
  int video_system_users() const { return video_users_; }
  bool screen_open() const { return open_; }
  const std::string& title() const { return title_; }
  bool cursor_visible() const { return cursor_visible_; }
  int restores() const { return restores_; }
  int frames_presented() const { return frames_; }
  const Surface& last_frame() const { return last_frame_; }

 private:
  ManualClock& clock_;
  Options options_;
  int video_users_ = 0;
  bool has_window_ = false;
  bool open_ = false;
  bool cursor_visible_ = true;
  std::string title_;
  int restores_ = 0;
  int frames_ = 0;
  Surface last_frame_;
  std::deque<WindowEvent> events_;
};

}  // namespace grumbol::platform
