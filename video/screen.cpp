#include "video/screen.h"

#include <string>

#include "platform/log.h"

namespace grumbol {

Screen::Screen(platform::Display& display, platform::Clock& clock)
    : display_(display), steps_(clock) {}

Screen::~Screen() {
  LeaveScreenMode();
  if (video_up_) display_.StopVideoSystem();
  if (window_holds_video_) display_.StopVideoSystem();
}

int Screen::StartVideo() {
  if (CreateScreenWindow() == 0) return 0;
  for (WindowObserver* observer : observers_) {
    if (!observer->OnVideoStarting()) return 0;
  }
  started_ = true;
  return AcquireVideo() ? 1 : 0;
}

int Screen::CreateScreenWindow() {
  if (display_.HasWindow()) return 1;
  // A window needs the video system; the window holds its own reference for its lifetime.
  if (!window_holds_video_) window_holds_video_ = display_.StartVideoSystem();
  if (!window_holds_video_) return 0;
  return display_.CreateWindow() ? 1 : 0;
}

bool Screen::AcquireVideo() {
  if (!video_up_) video_up_ = display_.StartVideoSystem();
  ++video_users_;
  return video_up_;
}

void Screen::ReleaseVideo() {
  if (video_users_ > 0) --video_users_;
  if (video_up_ && video_users_ == 0) {
    display_.StopVideoSystem();
    video_up_ = false;
  }
}

int Screen::EnterScreenMode(int width, int height, int depth, std::string_view title) {
  width = static_cast<std::int16_t>(width);
  height = static_cast<std::int16_t>(height);
  depth = static_cast<std::int16_t>(depth);
  LeaveScreenMode();
  screen_width_ = width;
  screen_height_ = height;
  depth_ = depth;

  const auto fail = [this] {
    ReleaseScreenResources();
    return 0;
  };
  if (!display_.HasWindow() || !video_up_) return fail();
  display_.ShowCursor(false);
  const std::optional<PixelLayout> layout =
      display_.OpenScreen(width, height, depth, std::string(title));
  if (!layout) return fail();
  back_buffer_ = Surface(width, height, BytesPerPixel(depth));
  if (!back_buffer_.Valid()) return fail();

  layout_ = *layout;
  active_ = true;
  restore_pending_ = false;
  steps_.Reset();
  return 1;
}

void Screen::LogFocus(const char* what) const {
  // By the steps taken so far: the game goes on while another window has the focus.
  const GameClock::Stats& steps = steps_.stats();
  platform::LogDetail(std::string("screen: focus ") + what + " at step " +
                      std::to_string(steps.steps + steps.restarts));
}

void Screen::HandleWindowEvent(platform::WindowEvent event) {
  using platform::WindowEvent;
  switch (event) {
    case WindowEvent::kFocusGained:
      active_ = true;
      LogFocus("gained");
      break;
    case WindowEvent::kFocusLost:
      LogFocus("lost");
      // The full screen is taken away; it is set up again by the first frame after the
      // focus returns. Sprites are plain memory and survive as they are.
      if (back_buffer_.Valid()) restore_pending_ = true;
      active_ = false;
      for (WindowObserver* observer : observers_) observer->OnDeactivated();
      break;
    case WindowEvent::kCloseRequested:  // the game decides when it ends
    case WindowEvent::kTabKeyUp:
    case WindowEvent::kAltKeyUp: break;
  }
}

void Screen::ShowFrame() {
  ReleaseBackBufferTarget();
  platform::WindowEvent event;
  while (display_.PollWindowEvent(event)) HandleWindowEvent(event);
  bool shown = false;
  if (active_ && back_buffer_.Valid() && steps_.ShouldShow()) {
    if (restore_pending_) {
      // Like a lost display found at the flip: the screen is set up again and this frame
      // is not shown.
      display_.RestoreScreen();
      restore_pending_ = false;
    } else if (overlay_ != nullptr && overlay_->DrawOver(back_buffer_, presented_, layout_)) {
      display_.Present(presented_.data(), presented_.pitch());
      shown = true;
    } else {
      display_.Present(back_buffer_.data(), back_buffer_.pitch());
      shown = true;
    }
  }
  steps_.EndStep(shown, shown ? display_.VsyncRefreshHz() : 0.0);
}

void Screen::ReleaseScreenResources() {
  for (WindowObserver* observer : observers_) observer->OnScreenReleased();
  display_.CloseScreen();
  back_buffer_ = Surface();
  presented_ = Surface();
  back_buffer_lent_ = false;
  restore_pending_ = false;
  if (display_.HasWindow()) display_.ShowCursor(true);
}

void Screen::LeaveScreenMode() {
  if (screen_width_ == 0) return;
  ReleaseScreenResources();
  screen_width_ = screen_height_ = 0;
}

void Screen::EndVideo() {
  if (!started_) return;
  ReleaseScreenResources();
  screen_width_ = screen_height_ = 0;
  ReleaseVideo();
  started_ = false;
}

std::optional<DrawingTarget> Screen::BackBufferTarget() {
  if (back_buffer_lent_ || !back_buffer_.Valid() || !active_) return std::nullopt;
  back_buffer_lent_ = true;
  return DrawingTarget{&back_buffer_, layout_, [this] { ReleaseBackBufferTarget(); }};
}

}  // namespace grumbol
