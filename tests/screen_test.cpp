#include "video/screen.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_display.h"
#include "platform/null/manual_clock.h"

namespace grumbol {
namespace {

using platform::HeadlessDisplay;
using platform::ManualClock;
using platform::WindowEvent;

struct CountingObserver : WindowObserver {
  int video_starts = 0;
  bool keyboard_starts = true;  // the answer to a video start, as the keyboard's
  int released = 0;
  int deactivated = 0;
  bool OnVideoStarting() override {
    ++video_starts;
    return keyboard_starts;
  }
  void OnScreenReleased() override { ++released; }
  void OnDeactivated() override { ++deactivated; }
};

struct ScreenFixture {
  explicit ScreenFixture(HeadlessDisplay::Options options = {})
      : display(clock, options), screen(display, clock) {
    screen.AddObserver(&observer);
  }
  void Open() {
    screen.StartVideo();
    screen.EnterScreenMode(1024, 768, 32, "x");
  }
  CountingObserver observer;  // outlives the screen that tells it
  ManualClock clock;
  HeadlessDisplay display;
  Screen screen;
};

TEST(Screen, StartsAndOpensTheGamesScreen) {
  ScreenFixture f;
  ASSERT_NE(f.screen.StartVideo(), 0);
  EXPECT_EQ(f.observer.video_starts, 1);
  ASSERT_EQ(f.screen.EnterScreenMode(1024, 768, 32, "Grumbol"), 1);
  EXPECT_EQ(f.display.title(), "Grumbol");
  EXPECT_EQ(f.screen.layout(), PixelLayout::kX8R8G8B8);
  EXPECT_EQ(f.screen.ScreenHasFocus(), 1);
  EXPECT_FALSE(f.display.cursor_visible());
  ASSERT_NE(f.screen.target(), nullptr);
  EXPECT_EQ(f.screen.target()->width(), 1024);
  EXPECT_EQ(f.screen.target()->PixelAt(500, 500), 0u);  // black

  f.screen.target()->SetPixel(3, 4, 0x123456);
  f.screen.ShowFrame();
  EXPECT_EQ(f.display.frames_presented(), 1);
  EXPECT_EQ(f.display.LastFramePixel(3, 4), 0x123456u);

  f.screen.LeaveScreenMode();
  f.screen.LeaveScreenMode();
  EXPECT_FALSE(f.display.screen_open());
  EXPECT_TRUE(f.display.cursor_visible());
  EXPECT_EQ(f.screen.target(), nullptr);
  EXPECT_EQ(f.observer.released, 1);
}

TEST(Screen, FailsCleanlyWithoutADisplayOrAKeyboard) {
  ScreenFixture no_display({.has_display = false});
  EXPECT_EQ(no_display.screen.StartVideo(), 0);
  EXPECT_EQ(no_display.screen.EnterScreenMode(1024, 768, 32, "x"), 0);
  no_display.screen.ShowFrame();  // must not crash
  no_display.screen.EndVideo();

  ScreenFixture no_keyboard;
  no_keyboard.observer.keyboard_starts = false;
  EXPECT_EQ(no_keyboard.screen.StartVideo(), 0);
}

TEST(Screen, AFailedOpenReleasesEverythingAndDrawsNothing) {
  ScreenFixture f({.can_open_screen = false});
  ASSERT_NE(f.screen.StartVideo(), 0);
  EXPECT_EQ(f.screen.EnterScreenMode(1024, 768, 32, "x"), 0);
  EXPECT_EQ(f.screen.ScreenHasFocus(), 0);
  EXPECT_TRUE(f.display.cursor_visible());
  EXPECT_EQ(f.screen.target(), nullptr);
  EXPECT_EQ(f.observer.released, 1);
  EXPECT_FALSE(f.screen.BackBufferTarget().has_value());
  f.screen.ShowFrame();
  EXPECT_EQ(f.display.frames_presented(), 0);

  ScreenFixture odd;
  ASSERT_NE(odd.screen.StartVideo(), 0);
  EXPECT_EQ(odd.screen.EnterScreenMode(1024, 768, 12, "x"), 0);       // no such depth
  EXPECT_EQ(odd.screen.EnterScreenMode(65536 + 0, 768, 32, "x"), 0);  // width 0 after the cut
}

TEST(Screen, ASecondOpenClosesTheFirstAndFreesItsSprites) {
  ScreenFixture f;
  f.Open();
  f.screen.EnterScreenMode(640, 480, 16, "two");
  EXPECT_EQ(f.observer.released, 1);
  EXPECT_EQ(f.screen.layout(), PixelLayout::kRgb565);
  EXPECT_EQ(f.screen.target()->bytes_per_pixel(), 2);
  EXPECT_EQ(f.display.title(), "two");
}

TEST(Screen, FocusLossStopsPresentingAndTheReturnRestoresTheMode) {
  ScreenFixture f;
  f.Open();
  f.screen.ShowFrame();
  ASSERT_EQ(f.display.frames_presented(), 1);

  f.display.InjectEvent(WindowEvent::kFocusLost);
  f.display.InjectEvent(WindowEvent::kCloseRequested);  // ignored
  f.screen.ShowFrame();
  EXPECT_EQ(f.screen.ScreenHasFocus(), 0);
  EXPECT_EQ(f.observer.deactivated, 1);
  EXPECT_FALSE(f.screen.BackBufferTarget().has_value());
  for (int i = 0; i < 5; ++i) f.screen.ShowFrame();
  EXPECT_EQ(f.display.frames_presented(), 1);

  f.display.InjectEvent(WindowEvent::kFocusGained);
  f.screen.ShowFrame();  // sets the mode again; this frame is not shown
  EXPECT_EQ(f.display.restores(), 1);
  EXPECT_EQ(f.display.frames_presented(), 1);
  f.screen.ShowFrame();
  EXPECT_EQ(f.display.frames_presented(), 2);
  EXPECT_EQ(f.display.restores(), 1);
  EXPECT_TRUE(f.display.screen_open());
}

TEST(Screen, LendsTheBackBufferOnceUntilReleased) {
  ScreenFixture f;
  f.Open();
  auto first = f.screen.BackBufferTarget();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->surface, f.screen.target());
  EXPECT_FALSE(f.screen.BackBufferTarget().has_value());
  first->release();
  EXPECT_TRUE(f.screen.BackBufferTarget().has_value());
  f.screen.ShowFrame();  // gives it back too
  EXPECT_TRUE(f.screen.BackBufferTarget().has_value());
}

TEST(Screen, TheOverlayLiesOverThePresentedFrameOnly) {
  struct Square : FrameOverlay {
    bool showing = true;
    bool DrawOver(const Surface& back_buffer, Surface& frame, PixelLayout) override {
      if (!showing) return false;
      frame = back_buffer;
      frame.SetPixel(0, 0, 0xABCDEF);
      return true;
    }
  } overlay;
  ScreenFixture f;
  f.Open();
  f.screen.SetFrameOverlay(&overlay);
  f.screen.target()->SetPixel(1, 0, 0x111111);
  f.screen.ShowFrame();
  EXPECT_EQ(f.display.LastFramePixel(0, 0), 0xABCDEFu);
  EXPECT_EQ(f.display.LastFramePixel(1, 0), 0x111111u);
  EXPECT_EQ(f.screen.target()->PixelAt(0, 0), 0u);  // the back buffer never sees it
  overlay.showing = false;
  f.screen.ShowFrame();
  EXPECT_EQ(f.display.LastFramePixel(0, 0), 0u);
}

TEST(Screen, VideoSystemStaysUpWhileAnyUserHoldsIt) {
  ScreenFixture f;
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
