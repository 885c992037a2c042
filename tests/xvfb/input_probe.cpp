// Keyboard and mouse on a real X server, driven by xdotool the way a player would: the
// game's screen is open and each frame polls the mouse and the keyboard, then presents.
// Run under tools/with-xvfb; each suite gets its own server (one changes the layout).

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/posix/system_clock.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_input.h"
#include "tests/xvfb/screenshot.h"
#include "video/screen.h"

namespace grumbol {
namespace {

using testing::RunShell;

class XInput : public ::testing::Test {
 protected:
  void StartGame() {
    ASSERT_NE(screen_.StartVideo(), 0) << "needs an X server: run under tools/with-xvfb";
    ASSERT_EQ(screen_.EnterScreenMode(1024, 768, 32, "Grumbol"), 1);
    ASSERT_EQ(mouse_.StartMouse(), 1);
    ASSERT_TRUE(Frames([&] { return mouse_ok_; })) << "the mouse was never taken";
  }

  void Frame() {
    mouse_ok_ = mouse_.PollMouse() == 1;
    keyboard_ok_ = keyboard_.PollKeyboard() == 1;
    moved_x_ += mouse_.PointerDeltaX();
    screen_.ShowFrame();
  }

  // Runs frames until `seen` holds (two seconds at most); with `every`, for `time` as long
  // as it holds in every frame.
  bool Frames(const std::function<bool()>& seen, bool every = false,
              std::chrono::milliseconds time = std::chrono::seconds(2)) {
    const auto deadline = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < deadline) {
      Frame();
      if (seen() != every) return !every;
    }
    return every;
  }

  bool At(int x, int y) const { return mouse_.PointerX() == x && mouse_.PointerY() == y; }
  bool Key(int code) const { return keyboard_.IsKeyDown(code) == 128; }

  platform::SdlDisplay display_;
  platform::SystemClock clock_;
  Screen screen_{display_, clock_};
  platform::SdlInput input_{display_};
  InputService input_service_{input_};
  Keyboard keyboard_{input_service_, screen_};
  Mouse mouse_{input_service_, screen_};
  bool mouse_ok_ = false;
  bool keyboard_ok_ = false;
  int moved_x_ = 0;
};

// The clamping at the edges is the mouse's own rule, tested without a server.
TEST_F(XInput, PointerFollowsRelativeMovementExactly) {
  StartGame();
  EXPECT_TRUE(At(0, 0));
  ASSERT_EQ(RunShell("xdotool mousemove_relative -- 100 50"), 0);
  EXPECT_TRUE(Frames([&] { return At(100, 50); }));
  EXPECT_EQ(moved_x_, 100) << "one pixel per unit, each unit counted once";
}

TEST_F(XInput, HeldButtonsAndKeysReadDownInEveryFrame) {
  StartGame();
  struct Hold {
    std::string down, up;
    std::function<bool()> seen;
  };
  const Hold holds[] = {
      {"mousedown 1", "mouseup 1", [&] { return mouse_.IsButtonDown(1) == 1; }},
      {"mousedown 3", "mouseup 3", [&] { return mouse_.IsButtonDown(2) == 1; }},
      {"keydown f keydown z", "keyup f keyup z", [&] { return Key(33) && Key(44); }},
      {"keydown Escape", "keyup Escape", [&] { return Key(1) && keyboard_.IsKeyDown(-1) == 1; }},
  };
  for (const Hold& hold : holds) {
    ASSERT_EQ(RunShell("xdotool " + hold.down), 0);
    EXPECT_TRUE(Frames(hold.seen)) << hold.down;
    // Long enough for the key auto-repeat to start.
    EXPECT_TRUE(Frames(hold.seen, true, std::chrono::milliseconds(900))) << hold.down;
    ASSERT_EQ(RunShell("xdotool " + hold.up), 0);
    EXPECT_TRUE(Frames([&] { return !hold.seen() && keyboard_.IsKeyDown(-1) == 0; })) << hold.up;
  }
}

TEST_F(XInput, AnotherWindowTakingTheFocusStopsThePointerAndAButtonLetGoMeanwhileReadsUp) {
  StartGame();
  ASSERT_EQ(RunShell("xdotool mousedown 1"), 0);
  EXPECT_TRUE(Frames([&] { return mouse_.IsButtonDown(1) == 1; }));
  platform::sdl::WindowPtr other(
      SDL_CreateWindow("Focus thief", 200, 200, 300, 200, SDL_WINDOW_SHOWN));
  ASSERT_EQ(RunShell("xdotool search --sync --name '^Focus thief$' windowfocus --sync"), 0);
  EXPECT_TRUE(Frames([&] { return screen_.ScreenHasFocus() == 0; }));
  ASSERT_EQ(RunShell("xdotool keydown f mousemove_relative -- 30 30 mouseup 1"), 0);
  EXPECT_TRUE(
      Frames([&] { return !mouse_ok_ && !keyboard_ok_; }, true, std::chrono::milliseconds(300)));
  EXPECT_TRUE(At(0, 0));
  EXPECT_FALSE(Key(33));
  ASSERT_EQ(RunShell("xdotool keyup f && xdotool search --name '^Grumbol$' windowfocus --sync"), 0);
  EXPECT_TRUE(Frames([&] { return mouse_ok_; }));
  ASSERT_EQ(RunShell("xdotool mousemove_relative -- 7 8"), 0);
  EXPECT_TRUE(Frames([&] { return At(7, 8); }));
  EXPECT_EQ(mouse_.IsButtonDown(1), 0);
}

TEST_F(XInput, KeysAndButtonsLetGoAmongMoreEventsThanTheQueueKeepsReadUp) {
  StartGame();
  ASSERT_EQ(RunShell("xdotool keydown f mousedown 1"), 0);
  EXPECT_TRUE(Frames([&] { return Key(33) && mouse_.IsButtonDown(1) == 1; }));
  ASSERT_EQ(RunShell("xdotool keyup f mouseup 1"), 0);
  const auto queued = [](Uint32 type) {
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, type, type);
  };
  for (int tries = 0; tries < 100 && (queued(SDL_KEYUP) == 0 || queued(SDL_MOUSEBUTTONUP) == 0);
       ++tries) {
    SDL_Delay(10);
    SDL_PumpEvents();
  }
  ASSERT_GT(queued(SDL_KEYUP), 0);
  ASSERT_GT(queued(SDL_MOUSEBUTTONUP), 0);
  // Buried under a flood of events, the two releases are the oldest and the first to go.
  SDL_Event still{};
  still.type = SDL_MOUSEMOTION;
  still.motion.windowID = display_.window_id();
  for (int i = 0; i <= platform::SdlDisplay::kMaxQueuedInputEvents; ++i) SDL_PushEvent(&still);
  screen_.ShowFrame();
  ASSERT_EQ(queued(SDL_KEYUP), 0);
  EXPECT_TRUE(Frames([&] { return !Key(33) && mouse_.IsButtonDown(1) == 0; }));
}

TEST_F(XInput, KeysAreReadByPositionWhateverTheLayout) {
  ASSERT_EQ(RunShell("setxkbmap de"), 0);
  StartGame();
  // On the German layout Y is where Z is on the US one.
  ASSERT_EQ(RunShell("xdotool keydown y"), 0);
  EXPECT_TRUE(Frames([&] { return Key(44); }));
  EXPECT_FALSE(Key(21));
  ASSERT_EQ(RunShell("xdotool keyup y"), 0);
}

}  // namespace
}  // namespace grumbol
