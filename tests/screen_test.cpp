#include "video/screen.h"

#include <gtest/gtest.h>

#include "tests/support/headless_screen.h"

namespace grumbol {
namespace {

using platform::WindowEvent;

struct CountingObserver : WindowObserver {
  bool OnVideoStarting() override {
    ++video_starts;
    return keyboard_starts;
  }
  void OnScreenReleased() override { ++released; }
  void OnDeactivated() override { ++deactivated; }
  int video_starts = 0, released = 0, deactivated = 0;
  bool keyboard_starts = true;
};

// The observer is the first base, so that it outlives the screen that tells it.
struct Rig : CountingObserver, testing::HeadlessScreen {
  explicit Rig(platform::HeadlessDisplay::Options options = {}) : HeadlessScreen(options) {
    screen.AddObserver(this);
  }
};

TEST(Screen, OpensPresentsAndClosesTheGamesScreen) {
  Rig f;
  ASSERT_NE(f.screen.StartVideo(), 0);
  EXPECT_EQ(f.video_starts, 1);
  ASSERT_EQ(f.screen.EnterScreenMode(1024, 768, 32, "Grumbol"), 1);
  EXPECT_EQ(f.display.title(), "Grumbol");
  EXPECT_EQ(f.screen.ScreenHasFocus(), 1);
  EXPECT_FALSE(f.display.cursor_visible());
  f.screen.target()->SetPixel(3, 4, 0x123456);
  f.screen.ShowFrame();
  EXPECT_EQ(f.display.LastFramePixel(3, 4), 0x123456u);
  EXPECT_EQ(f.display.LastFramePixel(500, 500), 0u);  // a new screen is black

  f.screen.EnterScreenMode(640, 480, 16, "two");  // closes the first: its sprites go
  EXPECT_EQ(f.released, 1);
  EXPECT_EQ(f.screen.layout(), PixelLayout::kRgb565);
  EXPECT_EQ(f.screen.target()->bytes_per_pixel(), 2);
  f.screen.LeaveScreenMode();
  f.screen.LeaveScreenMode();
  EXPECT_FALSE(f.display.screen_open());
  EXPECT_TRUE(f.display.cursor_visible());
  EXPECT_EQ(f.screen.target(), nullptr);
  EXPECT_EQ(f.released, 2);
}

TEST(Screen, RefusesWhatCannotBeOpenedAndThenDrawsNothing) {
  const struct {
    platform::HeadlessDisplay::Options display;
    bool keyboard_starts = true;
    int width = 1024, depth = 32;
    bool starts = true;
  } cases[] = {{{.has_display = false}, true, 1024, 32, false},
               {{}, false, 1024, 32, false},
               {{.can_open_screen = false}},
               {{}, true, 1024, 12},
               {{}, true, 65536, 32}};  // width 0 after the cut to 16 bits
  for (const auto& c : cases) {
    Rig f(c.display);
    f.keyboard_starts = c.keyboard_starts;
    EXPECT_EQ(f.screen.StartVideo() != 0, c.starts);
    EXPECT_EQ(f.screen.EnterScreenMode(c.width, 768, c.depth, "x"), 0);
    EXPECT_EQ(f.screen.ScreenHasFocus(), 0);
    EXPECT_TRUE(f.display.cursor_visible());
    EXPECT_EQ(f.screen.target(), nullptr);
    EXPECT_FALSE(f.screen.BackBufferTarget().has_value());
    f.screen.ShowFrame();
    EXPECT_EQ(f.display.frames_presented(), 0);
  }
}

TEST(Screen, FocusLossStopsPresentingAndTheReturnRestoresTheMode) {
  Rig f;
  f.Open();
  f.display.InjectEvent(WindowEvent::kFocusLost);
  f.display.InjectEvent(WindowEvent::kCloseRequested);  // ignored
  for (int i = 0; i < 5; ++i) f.screen.ShowFrame();
  EXPECT_EQ(f.screen.ScreenHasFocus(), 0);
  EXPECT_EQ(f.deactivated, 1);
  EXPECT_FALSE(f.screen.BackBufferTarget().has_value());
  EXPECT_EQ(f.display.frames_presented(), 0);

  f.display.InjectEvent(WindowEvent::kFocusGained);
  f.screen.ShowFrame();  // sets the mode again; this frame is not shown
  EXPECT_EQ(f.display.frames_presented(), 0);
  f.screen.ShowFrame();
  EXPECT_EQ(f.display.frames_presented(), 1);
  EXPECT_EQ(f.display.restores(), 1);
}

TEST(Screen, LendsTheBackBufferOnceUntilReleasedOrTheFrameEnds) {
  Rig f;
  f.Open();
  auto first = f.screen.BackBufferTarget();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->surface, f.screen.target());
  EXPECT_FALSE(f.screen.BackBufferTarget().has_value());
  first->release();
  ASSERT_TRUE(f.screen.BackBufferTarget().has_value());
  f.screen.ShowFrame();
  EXPECT_TRUE(f.screen.BackBufferTarget().has_value());
}

TEST(Screen, VideoSystemStaysUpWhileAnyUserHoldsIt) {
  Rig f;
  f.screen.StartVideo();
  const int window_and_screen = f.display.video_system_users();
  EXPECT_TRUE(f.screen.AcquireVideo());  // a second user, e.g. movies
  f.screen.EndVideo();
  f.screen.EndVideo();  // a second end takes no second reference away
  EXPECT_EQ(f.display.video_system_users(), window_and_screen);
  f.screen.ReleaseVideo();
  EXPECT_EQ(f.display.video_system_users(), window_and_screen - 1);
}

}  // namespace
}  // namespace grumbol
