#include "video/screen.h"

#include <gtest/gtest.h>

#include "tests/support/headless_screen.h"

namespace grumbol {
namespace {

using platform::WindowEvent;

struct CountingObserver : WindowObserver {
  void OnDeactivated() override { ++deactivated; }
  int deactivated = 0;
};

// The observer is the first base, so that it outlives the screen that tells it.
struct Rig : CountingObserver, testing::HeadlessScreen {
  explicit Rig(platform::HeadlessDisplay::Options options = {}) : HeadlessScreen(options) {
    screen.AddObserver(this);
  }
};

TEST(Screen, RefusesWhatCannotBeOpenedAndThenDrawsNothing) {
  const struct {
    platform::HeadlessDisplay::Options display;
    bool starts = true;
  } cases[] = {{{.has_display = false}, false}, {{.can_open_screen = false}}};
  for (const auto& c : cases) {
    Rig f(c.display);
    EXPECT_EQ(f.screen.StartVideo() != 0, c.starts);
    EXPECT_EQ(f.screen.EnterScreenMode(1024, 768, 32, "x"), 0);
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
