// The SDL display on a real X server: what reaches the screen, and which window events the
// display reports. Run under tools/with-xvfb (1024x768x24, no window manager); the suite
// NoDisplay runs with no X server at all.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/sdl/sdl_display.h"
#include "tests/xvfb/screenshot.h"
#include "video/pixel_format.h"

namespace grumbol::platform {
namespace {

using testing::Near;
using testing::RunShell;
using testing::Rgb;
using testing::Screenshot;

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

// A frame in one of the display's layouts, written the way the media layer packs pixels.
class Frame {
 public:
  Frame(int width, int height, int depth)
      : width_(width), bytes_(BytesPerPixel(depth)), depth_(depth) {
    pixels_.resize(static_cast<std::size_t>(width) * height * bytes_);
  }
  int pitch() const { return width_ * bytes_; }
  const std::uint8_t* data() const { return pixels_.data(); }

  void Fill(int x0, int y0, int w, int h, Rgb c) {
    for (int y = y0; y < y0 + h; ++y) {
      for (int x = x0; x < x0 + w; ++x) Put(x, y, c);
    }
  }

 private:
  void Put(int x, int y, Rgb c) {
    std::uint8_t* p = &pixels_[static_cast<std::size_t>(y) * pitch() + x * bytes_];
    auto put16 = [p](unsigned v) {
      p[0] = v & 0xFF;
      p[1] = v >> 8;
    };
    switch (depth_) {
      case 32: p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = 0; break;  // X8R8G8B8
      case 24: p[0] = c.b, p[1] = c.g, p[2] = c.r; break;            // red in the third byte
      case 16: put16((c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3); break;
      case 15: put16((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3); break;
    }
  }

  int width_, bytes_, depth_;
  std::vector<std::uint8_t> pixels_;
};

// Left half red, right half blue, a white 10x10 square at (100, 100).
Frame TestPattern(int width, int height, int depth) {
  Frame frame(width, height, depth);
  frame.Fill(0, 0, width / 2, height, kRed);
  frame.Fill(width / 2, 0, width - width / 2, height, kBlue);
  frame.Fill(100, 100, 10, 10, kWhite);
  return frame;
}

void PresentTimes(SdlDisplay& display, const Frame& frame, int times) {
  for (int i = 0; i < times; ++i) display.Present(frame.data(), frame.pitch());
}

// Everything the display reports within `time`.
std::vector<WindowEvent> PollFor(SdlDisplay& display, std::chrono::milliseconds time) {
  std::vector<WindowEvent> seen;
  const auto deadline = std::chrono::steady_clock::now() + time;
  while (std::chrono::steady_clock::now() < deadline) {
    WindowEvent event;
    while (display.PollWindowEvent(event)) seen.push_back(event);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return seen;
}

// Everything the display reports until `wanted` comes (two seconds at most), and for a
// while after it, so that stray extra events are seen too.
std::vector<WindowEvent> PollPast(SdlDisplay& display, WindowEvent wanted) {
  std::vector<WindowEvent> seen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  WindowEvent event;
  while (std::find(seen.begin(), seen.end(), wanted) == seen.end() &&
         std::chrono::steady_clock::now() < deadline) {
    while (display.PollWindowEvent(event)) seen.push_back(event);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  for (const WindowEvent late : PollFor(display, std::chrono::milliseconds(200))) {
    seen.push_back(late);
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

class XScreenDepth : public XScreen, public ::testing::WithParamInterface<int> {};

TEST_P(XScreenDepth, FrameCoversTheWholeScreenInItsColours) {
  const int depth = GetParam();
  const int expected_layout = depth == 32   ? static_cast<int>(PixelLayout::kX8R8G8B8)
                              : depth == 24 ? static_cast<int>(PixelLayout::kRgb24RedHigh)
                              : depth == 16 ? static_cast<int>(PixelLayout::kRgb565)
                                            : static_cast<int>(PixelLayout::kRgb555);
  ASSERT_EQ(display_.OpenScreen(kScreenWidth, kScreenHeight, depth, "Grumbol"), expected_layout);
  EXPECT_NE(display_.full_screen_path(), SdlDisplay::FullScreenPath::kNone);
  PresentTimes(display_, TestPattern(kScreenWidth, kScreenHeight, depth), 3);

  const Screenshot shot("screen_" + std::to_string(depth));
  ASSERT_TRUE(shot.Taken());
  EXPECT_TRUE(Near(shot.At(0, 0), kRed));
  EXPECT_TRUE(Near(shot.At(511, 400), kRed));
  EXPECT_TRUE(Near(shot.At(512, 400), kBlue));
  EXPECT_TRUE(Near(shot.At(1023, 767), kBlue));
  EXPECT_TRUE(Near(shot.At(100, 100), kWhite));
  EXPECT_TRUE(Near(shot.At(109, 109), kWhite));
  EXPECT_TRUE(Near(shot.At(110, 105), kRed));
  EXPECT_TRUE(Near(shot.At(105, 99), kRed));
}

INSTANTIATE_TEST_SUITE_P(Depths, XScreenDepth, ::testing::Values(32, 24, 16, 15),
                         [](const auto& info) { return std::to_string(info.param) + "bit"; });

TEST_F(XScreen, SmallerFrameOfOtherShapeIsScaledWholeWithBlackBars) {
  // 640x400 on 1024x768: scaled by 1.6 to 1024x640, bars of 64 rows above and below.
  ASSERT_EQ(display_.OpenScreen(640, 400, 32, "Grumbol"), static_cast<int>(PixelLayout::kX8R8G8B8));
  PresentTimes(display_, TestPattern(640, 400, 32), 3);

  const Screenshot shot("letterbox_640x400");
  ASSERT_TRUE(shot.Taken());
  EXPECT_TRUE(Near(shot.At(512, 60), kBlack));
  EXPECT_TRUE(Near(shot.At(100, 707), kBlack));
  EXPECT_TRUE(Near(shot.At(2, 68), kRed));
  EXPECT_TRUE(Near(shot.At(1021, 700), kBlue));
  EXPECT_TRUE(Near(shot.At(507, 400), kRed));
  EXPECT_TRUE(Near(shot.At(516, 400), kBlue));
  // The white square at (100, 100)-(109, 109) lands at (160, 224)-(175, 239).
  EXPECT_TRUE(Near(shot.At(162, 226), kWhite));
  EXPECT_TRUE(Near(shot.At(173, 237), kWhite));
  EXPECT_TRUE(Near(shot.At(178, 230), kRed));
}

TEST_F(XScreen, ClosedScreenLeavesTheDesktopAndReopens) {
  ASSERT_NE(display_.OpenScreen(kScreenWidth, kScreenHeight, 32, "Grumbol"), 0);
  PresentTimes(display_, TestPattern(kScreenWidth, kScreenHeight, 32), 2);
  display_.CloseScreen();
  display_.CloseScreen();  // harmless twice
  display_.Present(TestPattern(kScreenWidth, kScreenHeight, 32).data(), kScreenWidth * 4);

  const Screenshot closed("closed");
  ASSERT_TRUE(closed.Taken());
  EXPECT_TRUE(Near(closed.At(50, 50), kBlack)) << "Xvfb's bare root window is black";

  EXPECT_EQ(display_.OpenScreen(kScreenWidth, kScreenHeight, 8, "Grumbol"), 0);
  ASSERT_EQ(display_.OpenScreen(kScreenWidth, kScreenHeight, 16, "Grumbol"),
            static_cast<int>(PixelLayout::kRgb565));
  PresentTimes(display_, TestPattern(kScreenWidth, kScreenHeight, 16), 2);
  const Screenshot reopened("reopened");
  ASSERT_TRUE(reopened.Taken());
  EXPECT_TRUE(Near(reopened.At(50, 50), kRed));
}

TEST(XWindow, OutlivesTheVideoSystemReference) {
  // The window may come first (the sound part asks for it) and stay after the video system
  // is stopped; SDL must not be shut down beneath it.
  SdlDisplay display;
  ASSERT_TRUE(display.CreateWindow());
  ASSERT_TRUE(display.StartVideoSystem());
  ASSERT_TRUE(display.StartVideoSystem());
  display.StopVideoSystem();
  display.StopVideoSystem();
  EXPECT_TRUE(display.HasWindow());
  EXPECT_EQ(display.OpenScreen(kScreenWidth, kScreenHeight, 32, "Grumbol"),
            static_cast<int>(PixelLayout::kX8R8G8B8));
}

class XEvents : public XScreen {
 protected:
  void SetUp() override {
    XScreen::SetUp();
    ASSERT_NE(display_.OpenScreen(kScreenWidth, kScreenHeight, 32, "Grumbol"), 0);
    PresentTimes(display_, TestPattern(kScreenWidth, kScreenHeight, 32), 2);
    // Whatever the opening itself caused (our focus gained) is not what these tests look at.
    PollPast(display_, WindowEvent::kFocusGained);
  }
};

TEST_F(XEvents, FocusMovingToAnotherWindowAndBackIsReported) {
  // Another program's window, green, over part of the screen.
  sdl::WindowPtr other(SDL_CreateWindow("Focus thief", 200, 200, 300, 200, SDL_WINDOW_SHOWN));
  ASSERT_NE(other, nullptr);
  SDL_Surface* surface = SDL_GetWindowSurface(other.get());
  ASSERT_NE(surface, nullptr);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 255, 0));
  SDL_UpdateWindowSurface(other.get());

  ASSERT_EQ(RunShell("xdotool search --sync --name '^Focus thief$' windowfocus --sync"), 0);
  EXPECT_EQ(PollPast(display_, WindowEvent::kFocusLost),
            std::vector<WindowEvent>{WindowEvent::kFocusLost});
  const Screenshot covered("focus_lost");
  ASSERT_TRUE(covered.Taken());
  ASSERT_TRUE(Near(covered.At(300, 300), Rgb{0, 255, 0})) << "the other window is not on top";

  ASSERT_EQ(RunShell("xdotool search --name '^Grumbol$' windowfocus --sync"), 0);
  EXPECT_EQ(PollPast(display_, WindowEvent::kFocusGained),
            std::vector<WindowEvent>{WindowEvent::kFocusGained});

  // Restored, the screen is on top of the other window again.
  display_.RestoreScreen();
  PresentTimes(display_, TestPattern(kScreenWidth, kScreenHeight, 32), 3);
  const Screenshot shot("restored");
  ASSERT_TRUE(shot.Taken());
  EXPECT_TRUE(Near(shot.At(300, 300), kRed));
}

TEST_F(XEvents, TabAndAltReleasesAreReportedAndOtherKeysLeftForTheKeyboard) {
  SDL_FlushEvents(SDL_KEYDOWN, SDL_KEYUP);
  ASSERT_EQ(RunShell("xdotool key Tab && xdotool key a && xdotool key Alt_L"), 0);
  EXPECT_EQ(PollPast(display_, WindowEvent::kAltKeyUp),
            (std::vector<WindowEvent>{WindowEvent::kTabKeyUp, WindowEvent::kAltKeyUp}));

  // Every key event is still queued for whoever reads the keyboard.
  std::vector<SDL_Event> keys(32);
  const int queued = SDL_PeepEvents(keys.data(), static_cast<int>(keys.size()), SDL_PEEKEVENT,
                                    SDL_KEYDOWN, SDL_KEYUP);
  ASSERT_EQ(queued, 6);
  EXPECT_EQ(keys[2].type, SDL_KEYDOWN);
  EXPECT_EQ(keys[2].key.keysym.sym, SDLK_a);
  EXPECT_EQ(keys[3].type, SDL_KEYUP);
  EXPECT_EQ(keys[3].key.keysym.sym, SDLK_a);
}

TEST_F(XEvents, UnreadInputEventsAreCappedKeepingTheNewest) {
  constexpr int kPushed = SdlDisplay::kMaxQueuedInputEvents + 1000;
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  for (int i = 0; i < kPushed; ++i) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.xrel = i;
    ASSERT_EQ(SDL_PushEvent(&motion), 1);
  }
  WindowEvent event;
  display_.PollWindowEvent(event);

  std::vector<SDL_Event> left(kPushed);
  const int count =
      SDL_PeepEvents(left.data(), kPushed, SDL_PEEKEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION);
  ASSERT_EQ(count, SdlDisplay::kMaxQueuedInputEvents);
  EXPECT_EQ(left.front().motion.xrel, kPushed - SdlDisplay::kMaxQueuedInputEvents);
  EXPECT_EQ(left[count - 1].motion.xrel, kPushed - 1);
}

TEST_F(XEvents, CloseRequestsAreReportedAndOtherWindowsIgnored) {
  // No window manager here to send a real close request; SDL's own events stand in.
  const Uint32 ours = SDL_GetWindowID(SDL_GetKeyboardFocus());
  ASSERT_NE(ours, 0u);
  auto push_window_event = [](Uint32 window_id, SDL_WindowEventID what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.windowID = window_id;
    SDL_PushEvent(&event);
  };
  push_window_event(ours + 1, SDL_WINDOWEVENT_FOCUS_GAINED);
  push_window_event(ours + 1, SDL_WINDOWEVENT_CLOSE);
  push_window_event(ours, SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  EXPECT_EQ(PollFor(display_, std::chrono::milliseconds(50)),
            (std::vector<WindowEvent>{WindowEvent::kCloseRequested, WindowEvent::kCloseRequested}));
}

TEST(NoDisplay, VideoSystemAndWindowAreRefused) {
  if (std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr) {
    GTEST_SKIP() << "a display is reachable; this case runs with none";
  }
  SdlDisplay display;
  EXPECT_FALSE(display.StartVideoSystem());
  EXPECT_FALSE(display.CreateWindow());
  EXPECT_FALSE(display.HasWindow());
  EXPECT_EQ(display.OpenScreen(kScreenWidth, kScreenHeight, 32, "Grumbol"), 0);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u) << "a refused start must not hold SDL's video";
}

}  // namespace
}  // namespace grumbol::platform
