// Keyboard and mouse on a real X server, driven by xdotool the way a player would: the
// game's screen is open and each frame polls the mouse and the keyboard, then presents.
// What only a real server shows: the releases the game must not miss. Run under tools/with-xvfb.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

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
  // Runs frames until `seen` holds, ten seconds at most.
  bool Frames(const std::function<bool()>& seen) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      mouse_ok_ = mouse_.PollMouse() == 1;
      keyboard_.PollKeyboard();
      screen_.ShowFrame();
      if (seen()) return true;
    }
    return false;
  }
  bool Down() const { return keyboard_.IsKeyDown(33) == 128 || mouse_.IsButtonDown(1) == 1; }
  bool BothDown() const { return keyboard_.IsKeyDown(33) == 128 && mouse_.IsButtonDown(1) == 1; }

  platform::SdlDisplay display_;
  platform::SystemClock clock_;
  Screen screen_{display_, clock_};
  platform::SdlInput input_{display_};
  InputService input_service_{input_};
  Keyboard keyboard_{input_service_, screen_};
  Mouse mouse_{input_service_, screen_};
  bool mouse_ok_ = false;
};

TEST_F(XInput, KeysAndButtonsLetGoBehindAFloodOfEventsOrOverAnotherWindowReadUp) {
  ASSERT_NE(screen_.StartVideo(), 0) << "needs an X server: run under tools/with-xvfb";
  ASSERT_EQ(screen_.EnterScreenMode(1024, 768, 32, "Grumbol"), 1);
  ASSERT_EQ(mouse_.StartMouse(), 1);
  ASSERT_TRUE(Frames([&] { return mouse_ok_; })) << "the mouse was never taken";

  ASSERT_EQ(RunShell("xdotool keydown f mousedown 1"), 0);
  ASSERT_TRUE(Frames([&] { return BothDown(); }));
  ASSERT_EQ(RunShell("xdotool keyup f mouseup 1"), 0);
  const auto queued = [](Uint32 type) {
    return SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, type, type);
  };
  for (int tries = 0; tries < 1000 && (queued(SDL_KEYUP) == 0 || queued(SDL_MOUSEBUTTONUP) == 0);
       ++tries) {
    SDL_Delay(10);
    SDL_PumpEvents();
  }
  ASSERT_GT(queued(SDL_KEYUP), 0);
  ASSERT_GT(queued(SDL_MOUSEBUTTONUP), 0);
  // Buried under more events than the queue keeps, the two releases are the oldest and go first.
  SDL_Event still{};
  still.type = SDL_MOUSEMOTION;
  still.motion.windowID = display_.window_id();
  for (int i = 0; i <= platform::SdlDisplay::kMaxQueuedInputEvents; ++i) SDL_PushEvent(&still);
  screen_.ShowFrame();
  ASSERT_EQ(queued(SDL_KEYUP), 0);
  EXPECT_TRUE(Frames([&] { return !Down(); })) << "lost among the flood";

  ASSERT_EQ(RunShell("xdotool mousedown 1"), 0);
  ASSERT_TRUE(Frames([&] { return mouse_.IsButtonDown(1) == 1; }));
  platform::sdl::WindowPtr other(
      SDL_CreateWindow("Focus thief", 200, 200, 300, 200, SDL_WINDOW_SHOWN));
  ASSERT_EQ(RunShell("xdotool search --sync --name '^Focus thief$' windowfocus --sync"), 0);
  ASSERT_TRUE(Frames([&] { return !mouse_ok_; }));
  ASSERT_EQ(RunShell("xdotool mouseup 1 && xdotool search --name '^Grumbol$' windowfocus --sync"),
            0);
  ASSERT_TRUE(Frames([&] { return mouse_ok_; }));
  EXPECT_TRUE(Frames([&] { return !Down(); })) << "let go over another window";
}

}  // namespace
}  // namespace grumbol
