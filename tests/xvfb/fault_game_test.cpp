// The built game meeting faults of the machine it runs on: no display at all, and another
// window taking the focus in the middle of a game.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/xvfb/x_player.h"

namespace grumbol {
namespace {

using namespace testing;

TEST(NoDisplayGame, SaysSoOnStandardErrorAndExitsNonZero) {
  testing::TempDir dir;
  const std::string command = "cd '" + dir.path().string() +
                              "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 60 " +
                              GRUMBOL_GAME + " 2>&1 >/dev/null </dev/null";
  FILE* game = popen(command.c_str(), "r");
  ASSERT_NE(game, nullptr);
  std::string errors;
  char buffer[256];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, game)) > 0;) errors.append(buffer, n);
  const int status = pclose(game);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 0);
  EXPECT_NE(WEXITSTATUS(status), 124) << "it waited instead of ending";
  EXPECT_NE(errors.find("no display"), std::string::npos) << errors;
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "GFX"));
}

// Whether the screen below the score line changes within a few looks: the fish swim. A look
// counts once the game's picture is up (the sand at the bottom, not the black of the mode
// switch), so that the game has settled after its start.
bool Drawing(const std::string& name) {
  constexpr Rgb kBlack{0, 0, 0};
  for (int tries = 0; tries < 20; ++tries) {
    const Screenshot before(name + "_a");
    Pause(200);
    const Screenshot after(name + "_b");
    if (!before.Taken() || !after.Taken() || before.At(0, Screenshot::kHeight - 1) == kBlack) continue;
    if (!Changed(before, after).Empty()) return true;
  }
  return false;
}

// The share of pixels in rows [top, bottom) that are the same in both pictures.
double SameShare(const Screenshot& a, const Screenshot& b, int top, int bottom) {
  long same = 0, all = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < Screenshot::kWidth; ++x, ++all) same += a.At(x, y) == b.At(x, y);
  return static_cast<double>(same) / static_cast<double>(all);
}

// Another program's window, green; with no window manager SDL gives the focus to a window it
// shows, and the test takes it explicitly as well.
class FocusThief {
 public:
  FocusThief() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return;
    window_ = SDL_CreateWindow("Focus thief", 200, 200, 300, 200, SDL_WINDOW_SHOWN);
    if (window_ == nullptr) return;
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 255, 0));
    SDL_UpdateWindowSurface(window_);
    focused_ = RunShell("xdotool search --sync --name '^Focus thief$' windowfocus --sync") == 0;
  }
  ~FocusThief() {
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_Quit();
  }
  FocusThief(const FocusThief&) = delete;
  FocusThief& operator=(const FocusThief&) = delete;

  bool HasFocus() const { return focused_; }

 private:
  SDL_Window* window_ = nullptr;
  bool focused_ = false;
};

TEST(XFault, FocusTakenByAnotherWindowLetsTheGameRunOnAndEndWhole) {
  GameProcess game(GRUMBOL_GAME, GRUMBOL_MAKE_GFX);
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game"));
  HoldKey("Return");
  ASSERT_TRUE(game.EnterName("Fokus"));
  ASSERT_TRUE(Drawing("focus_before"));

  const FocusThief thief;
  ASSERT_TRUE(thief.HasFocus());
  // In the background the game loop runs on unpaced and draws nothing (a frame takes a few
  // microseconds there), so the fish get through unseen and the game ends by itself; it must
  // end as any game does, whole.
  ASSERT_TRUE(WaitForWindow("Game Over"));
  const Screenshot away("focus_away_game_over");
  ASSERT_TRUE(away.Taken());
  EXPECT_TRUE(Near(away.At(250, 250), {0, 255, 0}));  // the other window stays
  HoldKey("Return");
  EXPECT_EQ(game.WaitForExit(), 0);
  EXPECT_EQ(game.Record(), "Fokus: 0\r\n");
}

// For the way back the game is stopped while the other window holds the focus, so that the
// unpaced background loop cannot play the game out; continued, it reads the loss and the return
// of the focus from the X server in one go. SDL is told not to minimise the window on the loss:
// minimising switches the display mode back, after which SDL holds a returning focus for 200 ms
// (enough for the background loop to end any game).
TEST(XFault, FocusLostToAnotherWindowAndRegainedLeavesTheGameWholeAndGoingOn) {
  setenv("SDL_VIDEO_MINIMIZE_ON_FOCUS_LOSS", "0", 1);
  GameProcess game(GRUMBOL_GAME, GRUMBOL_MAKE_GFX);
  unsetenv("SDL_VIDEO_MINIMIZE_ON_FOCUS_LOSS");
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game"));
  HoldKey("Return");
  ASSERT_TRUE(game.EnterName("Fokus"));
  ASSERT_TRUE(Drawing("focus_regained_before"));
  const Screenshot before("focus_regained_before");
  ASSERT_TRUE(before.Taken());

  ASSERT_TRUE(game.Freeze());
  {
    const FocusThief thief;
    ASSERT_TRUE(thief.HasFocus());
    ASSERT_EQ(RunShell("xdotool search --name '^Daromirs Grumbol Game$' windowfocus --sync"), 0);
  }
  ASSERT_TRUE(game.Thaw());

  // The whole picture is back, the fish swim on, and nothing was scored or lost.
  ASSERT_TRUE(Drawing("focus_regained_after"));
  const Screenshot after("focus_regained_after");
  ASSERT_TRUE(after.Taken());
  EXPECT_EQ(SameShare(before, after, 0, 20), 1.0) << "score or misses changed";
  EXPECT_GT(SameShare(before, after, 20, Screenshot::kHeight), 0.9) << "the background is not as it was";
  EXPECT_NE(RunShell("xdotool search --name '^Game Over$' >/dev/null"), 0);

  HoldKey("Escape");
  ASSERT_TRUE(WaitForWindow("Game Over"));
  HoldKey("Return");
  EXPECT_EQ(game.WaitForExit(), 0);
  EXPECT_EQ(game.Record(), "Fokus: 0\r\n");
}

}  // namespace
}  // namespace grumbol
