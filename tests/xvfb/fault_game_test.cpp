// The built game meeting faults of the machine it runs on: no display at all, and another
// window taking the focus in the middle of a game (which runs on unseen until it ends).

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "tests/support/temp_dir.h"
#include "tests/xvfb/x_player.h"

namespace grumbol {
namespace {

using namespace testing;

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

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

// Whether the screen below the score line changes within a few looks: the fish swim.
bool Drawing(const std::string& name) {
  for (int tries = 0; tries < 20; ++tries) {
    const Screenshot before(name + "_a");
    Pause(200);
    const Screenshot after(name + "_b");
    if (before.Taken() && after.Taken() && !Changed(before, after).Empty()) return true;
  }
  return false;
}

TEST(XFault, AnotherWindowTakingTheFocusMidGameLetsTheGameRunOnAndEndWhole) {
  GameProcess game(GRUMBOL_GAME, GRUMBOL_MAKE_GFX);
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game"));
  HoldKey("Return");
  ASSERT_TRUE(game.EnterName("Fokus"));
  ASSERT_TRUE(Drawing("focus_before"));

  // Another program's window, green, takes the focus.
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* thief = SDL_CreateWindow("Focus thief", 200, 200, 300, 200, SDL_WINDOW_SHOWN);
  ASSERT_NE(thief, nullptr);
  SDL_Surface* surface = SDL_GetWindowSurface(thief);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 255, 0));
  SDL_UpdateWindowSurface(thief);
  ASSERT_EQ(RunShell("xdotool search --sync --name '^Focus thief$' windowfocus --sync"), 0);
  SDL_PumpEvents();
  // In the background the game loop runs on unpaced and draws nothing, so the fish get through
  // unseen and the game ends by itself; it must end as any game does, whole.
  ASSERT_TRUE(WaitForWindow("Game Over"));
  const Screenshot away("focus_away_game_over");
  ASSERT_TRUE(away.Taken());
  EXPECT_TRUE(testing::Near(away.At(250, 250), {0, 255, 0}));  // the other window stays
  HoldKey("Return");
  EXPECT_EQ(game.WaitForExit(), 0);
  EXPECT_EQ(game.Record(), "Fokus: 0\r\n");
  SDL_DestroyWindow(thief);
  SDL_Quit();
}

}  // namespace
}  // namespace grumbol
