// The display layer as a player meets it, on a real X server (tools/with-xvfb, 1024x768x24, no
// window manager): the screen opened at each depth, pictures loaded from BMP files, one of
// them colour-keyed, presented and read back from the X screen. The suite NoDisplay runs
// with no X server at all.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/system_clock.h"
#include "platform/sdl/sdl_display.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/xvfb/screenshot.h"
#include "video/screen.h"
#include "video/sprites.h"

namespace grumbol {
namespace {

using testing::Rgb;

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255}, kBlack{0, 0, 0},
    kFish{40, 220, 60}, kMagenta{255, 0, 255};

std::uint32_t Hex(Rgb c) { return static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b); }

struct Point {
  int x, y;
  Rgb colour;
};

testing::Screenshot ExpectScreen(const std::string& name, std::span<const Point> points) {
  testing::Screenshot shot(name);
  EXPECT_TRUE(shot.Taken());
  if (!shot.Taken()) return shot;
  for (const auto& [x, y, colour] : points)
    EXPECT_TRUE(testing::Near(shot.At(x, y), colour)) << name << " at " << x << "," << y;
  return shot;
}

struct Deactivations : WindowObserver {
  void OnDeactivated() override { ++count; }
  int count = 0;
};

class XScreen : public ::testing::Test {
 protected:
  // Opens the screen with the left half red, the right half blue and a white 10x10 square at
  // (100, 100); and loads a 64x64 fish, a green square in magenta (a 15-bit screen takes no
  // pictures).
  void Open(int width, int height, int depth) {
    screen_.AddObserver(&deactivations_);
    ASSERT_NE(screen_.StartVideo(), 0) << "needs an X server: run under tools/with-xvfb";
    ASSERT_EQ(screen_.EnterScreenMode(width, height, depth, "Grumbol"), 1);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const Rgb c = x / 10 == 10 && y / 10 == 10 ? kWhite : x < width / 2 ? kRed : kBlue;
        screen_.target()->SetPixel(x, y, sprites_.ColourToPixel(c.r, c.g, c.b));
      }
    }
    testing::WriteFileBytes(dir_.File("Fish.qz"), testing::Picture24(64, 64, [](int x, int y) {
                              return Hex(x / 16 % 3 && y / 16 % 3 ? kFish : kMagenta);
                            }));
    ASSERT_EQ(sprites_.LoadSpriteFile(11, dir_.File("Fish.qz"), 0) != 0, depth != 15);
    sprites_.SetSpriteKey(11, Hex(kMagenta));
  }
  // Draws a frame of the game's kind, three times as frame follows frame.
  void ShowFrames() {
    for (int frame = 0; frame < 3; ++frame) {
      sprites_.DrawSpriteKeyed(11, 300, 200);
      sprites_.DrawSprite(11, 600, 200);
      sprites_.DrawSpriteKeyed(11, -32, 600);  // half off the left edge
      screen_.ShowFrame();
    }
  }

  testing::TempDir dir_;
  Deactivations deactivations_;
  platform::SdlDisplay display_;
  platform::SystemClock clock_;
  platform::PosixFileSystem files_;
  Screen screen_{display_, clock_};
  Sprites sprites_{screen_, files_};
};

class XScreenDepth : public XScreen, public ::testing::WithParamInterface<int> {};

TEST_P(XScreenDepth, TheFrameAndItsPicturesCoverTheWholeScreenInTheirColours) {
  const int depth = GetParam();
  Open(1024, 768, depth);
  ShowFrames();
  const Point points[] = {{0, 0, kRed},       {511, 400, kRed},   {512, 400, kBlue},
                          {1023, 767, kBlue}, {100, 100, kWhite}, {109, 109, kWhite},
                          {110, 105, kRed},   {105, 99, kRed},    {305, 205, kRed},
                          {16, 616, kRed}};
  const testing::Screenshot shot = ExpectScreen("screen_" + std::to_string(depth), points);
  const Point fish[] = {
      {332, 232, kFish}, {605, 205, kMagenta}, {632, 232, kFish}, {0, 616, kFish}};
  for (const auto& [x, y, colour] : fish)
    EXPECT_EQ(testing::Near(shot.At(x, y), colour), depth != 15) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Depths, XScreenDepth, ::testing::Values(32, 24, 16, 15),
                         [](const auto& info) { return std::to_string(info.param) + "bit"; });

TEST_F(XScreen, SmallerScreenOfOtherShapeIsScaledWholeWithBlackBarsAndLeftOnClosing) {
  // 640x400 on 1024x768: scaled by 1.6 to 1024x640, bars of 64 rows above and below; the
  // white square at (100, 100)-(109, 109) lands at (160, 224)-(175, 239).
  Open(640, 400, 32);
  ShowFrames();
  const Point points[] = {{512, 60, kBlack},  {100, 707, kBlack}, {2, 68, kRed},
                          {1021, 700, kBlue}, {507, 400, kRed},   {516, 400, kBlue},
                          {162, 226, kWhite}, {173, 237, kWhite}, {178, 230, kRed}};
  ExpectScreen("letterbox_640x400", points);
  screen_.LeaveScreenMode();
  ShowFrames();
  const Point closed[] = {
      {50, 50, kBlack}, {100, 100, kBlack}, {300, 300, kBlack}, {600, 500, kBlack}};
  ExpectScreen("closed", closed);  // Xvfb's bare root window
}

// Frames until the screen's focus is `wanted` and 200 ms more, two seconds at most.
bool FocusBecomes(Screen& screen, int wanted) {
  using Clock = std::chrono::steady_clock;
  const auto until = Clock::now() + std::chrono::seconds(2);
  while (screen.ScreenHasFocus() != wanted && Clock::now() < until) screen.ShowFrame();
  for (auto settle = Clock::now() + std::chrono::milliseconds(200); Clock::now() < settle;)
    screen.ShowFrame();
  return screen.ScreenHasFocus() == wanted;
}

TEST_F(XScreen, FocusMovingToAnotherWindowAndBackHidesAndRestoresTheScreen) {
  Open(1024, 768, 32);
  ShowFrames();
  // Another program's window, green, over part of the screen.
  platform::sdl::WindowPtr other(
      SDL_CreateWindow("Focus thief", 200, 200, 300, 200, SDL_WINDOW_SHOWN));
  ASSERT_NE(other, nullptr);
  SDL_Surface* surface = SDL_GetWindowSurface(other.get());
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 255, 0));
  SDL_UpdateWindowSurface(other.get());

  ASSERT_EQ(testing::RunShell("xdotool search --sync --name '^Focus thief$' windowfocus --sync"),
            0);
  EXPECT_TRUE(FocusBecomes(screen_, 0));
  EXPECT_EQ(deactivations_.count, 1);
  ShowFrames();
  ExpectScreen("focus_lost", {{Point{300, 300, {0, 255, 0}}}});  // the other window on top

  ASSERT_EQ(testing::RunShell("xdotool search --name '^Grumbol$' windowfocus --sync"), 0);
  EXPECT_TRUE(FocusBecomes(screen_, 1));
  ShowFrames();
  ExpectScreen("restored", {{Point{300, 300, kRed}}});
  EXPECT_EQ(deactivations_.count, 1);
}

TEST(XWindow, OutlivesTheVideoSystemReference) {
  // The window may come first (the sound part asks for it) and stay after the video system
  // is stopped; SDL must not be shut down beneath it.
  platform::SdlDisplay display;
  ASSERT_TRUE(display.CreateWindow());
  ASSERT_TRUE(display.StartVideoSystem());
  display.StopVideoSystem();
  EXPECT_TRUE(display.OpenScreen(1024, 768, 32, "Grumbol").has_value());
}

TEST(NoDisplay, TheScreenIsRefused) {
  if (std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr)
    GTEST_SKIP() << "a display is reachable; this case runs with none";
  platform::SdlDisplay display;
  platform::SystemClock clock;
  Screen screen(display, clock);
  EXPECT_EQ(screen.StartVideo(), 0);
  EXPECT_EQ(screen.EnterScreenMode(1024, 768, 32, "Grumbol"), 0);
  EXPECT_FALSE(display.HasWindow());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "a refused start must not hold SDL's video";
}

}  // namespace
}  // namespace grumbol
