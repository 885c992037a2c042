// The SDL display on a real X server: what reaches the screen, and which window events the
// display reports. Run under tools/with-xvfb (1024x768x24, no window manager); the suite
// NoDisplay runs with no X server at all.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/pixel_layout.h"
#include "platform/sdl/sdl_display.h"
#include "tests/xvfb/screenshot.h"

namespace grumbol::platform {
namespace {

using testing::Rgb;
using testing::RunShell;

constexpr Rgb kRed{255, 0, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255}, kBlack{0, 0, 0};

// Presents (three times, as a game does frame after frame) a frame of the left half red, the
// right half blue and a white 10x10 square at (100, 100), packed at `depth` the way the media
// layer packs pixels: 32 bits B,G,R,0; 24 bits B,G,R; 16 bits 5-6-5; 15 bits 5-5-5.
void ShowPattern(SdlDisplay& display, int width, int height, int depth) {
  const int bytes = BytesPerPixel(depth);
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * bytes);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = x / 10 == 10 && y / 10 == 10 ? kWhite : x < width / 2 ? kRed : kBlue;
      const unsigned value = depth == 16   ? (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3
                             : depth == 15 ? (c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3
                                           : c.r << 16 | c.g << 8 | c.b;
      for (int i = 0; i < bytes; ++i) frame[(y * width + x) * bytes + i] = value >> (8 * i);
    }
  }
  for (int i = 0; i < 3; ++i) display.Present(frame.data(), width * bytes);
}

struct Point {
  int x, y;
  Rgb colour;
};

// Takes a screenshot and checks the colour at each point.
void ExpectScreen(const std::string& name, std::span<const Point> points) {
  const testing::Screenshot shot(name);
  ASSERT_TRUE(shot.Taken());
  for (const auto& [x, y, colour] : points) {
    EXPECT_TRUE(testing::Near(shot.At(x, y), colour)) << name << " at " << x << "," << y;
  }
}

// Everything the display reports until `wanted` comes (two seconds at most), and in the
// 200 ms after it, so that stray extra events are seen too.
std::vector<WindowEvent> PollPast(SdlDisplay& display, WindowEvent wanted) {
  using Clock = std::chrono::steady_clock;
  constexpr auto kAfter = std::chrono::milliseconds(200);
  std::vector<WindowEvent> seen;
  for (auto until = Clock::now() + std::chrono::seconds(2); Clock::now() < until;) {
    WindowEvent event;
    while (display.PollWindowEvent(event)) seen.push_back(event);
    if (until - Clock::now() > kAfter && std::ranges::find(seen, wanted) != seen.end())
      until = Clock::now() + kAfter;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return seen;
}

class XScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(display_.StartVideoSystem()) << "needs an X server: run under tools/with-xvfb";
    ASSERT_TRUE(display_.CreateWindow());
  }
  void TearDown() override { display_.StopVideoSystem(); }

  SdlDisplay display_;
};

class XScreenDepth : public XScreen,
                     public ::testing::WithParamInterface<std::pair<int, PixelLayout>> {};

TEST_P(XScreenDepth, FrameCoversTheWholeScreenInItsColours) {
  const auto [depth, layout] = GetParam();
  ASSERT_EQ(display_.OpenScreen(1024, 768, depth, "Grumbol"), layout);
  ShowPattern(display_, 1024, 768, depth);
  const Point points[] = {{0, 0, kRed},       {511, 400, kRed},   {512, 400, kBlue},
                          {1023, 767, kBlue}, {100, 100, kWhite}, {109, 109, kWhite},
                          {110, 105, kRed},   {105, 99, kRed}};
  ExpectScreen("screen_" + std::to_string(depth), points);
}

using enum PixelLayout;
INSTANTIATE_TEST_SUITE_P(Depths, XScreenDepth,
                         ::testing::Values(std::pair{32, kX8R8G8B8}, std::pair{24, kRgb24RedHigh},
                                           std::pair{16, kRgb565}, std::pair{15, kRgb555}),
                         [](const auto& info) { return std::to_string(info.param.first) + "bit"; });

TEST_F(XScreen, SmallerFrameOfOtherShapeIsScaledWholeWithBlackBars) {
  // 640x400 on 1024x768: scaled by 1.6 to 1024x640, bars of 64 rows above and below; the
  // white square at (100, 100)-(109, 109) lands at (160, 224)-(175, 239).
  ASSERT_EQ(display_.OpenScreen(640, 400, 32, "Grumbol"), PixelLayout::kX8R8G8B8);
  ShowPattern(display_, 640, 400, 32);
  const Point points[] = {{512, 60, kBlack},  {100, 707, kBlack}, {2, 68, kRed},
                          {1021, 700, kBlue}, {507, 400, kRed},   {516, 400, kBlue},
                          {162, 226, kWhite}, {173, 237, kWhite}, {178, 230, kRed}};
  ExpectScreen("letterbox_640x400", points);
}

TEST_F(XScreen, ClosedScreenLeavesTheDesktopAndReopens) {
  ASSERT_TRUE(display_.OpenScreen(1024, 768, 32, "Grumbol").has_value());
  ShowPattern(display_, 1024, 768, 32);
  display_.CloseScreen();
  display_.CloseScreen();  // harmless twice
  ShowPattern(display_, 1024, 768, 32);
  ExpectScreen("closed", {{Point{50, 50, kBlack}}});  // Xvfb's bare root window

  EXPECT_FALSE(display_.OpenScreen(1024, 768, 8, "Grumbol").has_value());
  ASSERT_TRUE(display_.OpenScreen(1024, 768, 16, "Grumbol").has_value());
  ShowPattern(display_, 1024, 768, 16);
  ExpectScreen("reopened", {{Point{50, 50, kRed}}});
}

TEST(XWindow, OutlivesTheVideoSystemReference) {
  // The window may come first (the sound part asks for it) and stay after the video system
  // is stopped; SDL must not be shut down beneath it.
  SdlDisplay display;
  ASSERT_TRUE(display.CreateWindow());
  ASSERT_TRUE(display.StartVideoSystem());
  display.StopVideoSystem();
  EXPECT_TRUE(display.HasWindow());
  EXPECT_TRUE(display.OpenScreen(1024, 768, 32, "Grumbol").has_value());
}

class XEvents : public XScreen {
 protected:
  void SetUp() override {
    XScreen::SetUp();
    ASSERT_TRUE(display_.OpenScreen(1024, 768, 32, "Grumbol").has_value());
    ShowPattern(display_, 1024, 768, 32);
    // Whatever the opening itself caused (our focus gained) is not what these tests look at.
    PollPast(display_, WindowEvent::kFocusGained);
  }
};

TEST_F(XEvents, FocusMovingToAnotherWindowAndBackIsReported) {
  // Another program's window, green, over part of the screen.
  sdl::WindowPtr other(SDL_CreateWindow("Focus thief", 200, 200, 300, 200, SDL_WINDOW_SHOWN));
  ASSERT_NE(other, nullptr);
  SDL_Surface* surface = SDL_GetWindowSurface(other.get());
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 255, 0));
  SDL_UpdateWindowSurface(other.get());

  ASSERT_EQ(RunShell("xdotool search --sync --name '^Focus thief$' windowfocus --sync"), 0);
  EXPECT_EQ(PollPast(display_, WindowEvent::kFocusLost),
            std::vector<WindowEvent>{WindowEvent::kFocusLost});
  ExpectScreen("focus_lost", {{Point{300, 300, {0, 255, 0}}}});  // the other window on top
  ASSERT_EQ(RunShell("xdotool search --name '^Grumbol$' windowfocus --sync"), 0);
  EXPECT_EQ(PollPast(display_, WindowEvent::kFocusGained),
            std::vector<WindowEvent>{WindowEvent::kFocusGained});

  // Restored, the screen is on top of the other window again.
  display_.RestoreScreen();
  ShowPattern(display_, 1024, 768, 32);
  ExpectScreen("restored", {{Point{300, 300, kRed}}});
}

TEST_F(XEvents, TabAndAltReleasesAreReportedAndOtherKeysLeftForTheKeyboard) {
  SDL_FlushEvents(SDL_KEYDOWN, SDL_KEYUP);
  ASSERT_EQ(RunShell("xdotool key Tab && xdotool key a && xdotool key Alt_L"), 0);
  EXPECT_EQ(PollPast(display_, WindowEvent::kAltKeyUp),
            (std::vector<WindowEvent>{WindowEvent::kTabKeyUp, WindowEvent::kAltKeyUp}));

  // Every key event is still queued for whoever reads the keyboard.
  std::vector<SDL_Event> keys(32);
  ASSERT_EQ(SDL_PeepEvents(keys.data(), 32, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP), 6);
  EXPECT_EQ(keys[2].type, SDL_KEYDOWN);
  EXPECT_EQ(keys[2].key.keysym.sym, SDLK_a);
  EXPECT_EQ(keys[3].type, SDL_KEYUP);
  EXPECT_EQ(keys[3].key.keysym.sym, SDLK_a);
}

TEST_F(XEvents, CloseRequestsOfOurWindowAreReportedAndUnreadInputIsCapped) {
  // No window manager here to send a real close request; SDL's own events stand in.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  const Uint32 ours = SDL_GetWindowID(SDL_GetKeyboardFocus());
  ASSERT_NE(ours, 0u);
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_CLOSE;
  for (const Uint32 window : {ours + 1, ours}) {
    event.window.windowID = window;
    SDL_PushEvent(&event);
  }
  event.type = SDL_MOUSEMOTION;
  for (int i = 0; i < SdlDisplay::kMaxQueuedInputEvents + 100; ++i) SDL_PushEvent(&event);
  EXPECT_EQ(PollPast(display_, WindowEvent::kCloseRequested),
            std::vector<WindowEvent>{WindowEvent::kCloseRequested});
  EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION),
            SdlDisplay::kMaxQueuedInputEvents);
}

TEST(NoDisplay, VideoSystemAndWindowAreRefused) {
  if (std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr)
    GTEST_SKIP() << "a display is reachable; this case runs with none";
  SdlDisplay display;
  EXPECT_FALSE(display.StartVideoSystem());
  EXPECT_FALSE(display.CreateWindow());
  EXPECT_FALSE(display.HasWindow());
  EXPECT_FALSE(display.OpenScreen(1024, 768, 32, "Grumbol").has_value());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "a refused start must not hold SDL's video";
}

}  // namespace
}  // namespace grumbol::platform
