// The built game meeting faults of the machine it runs on: no display at all, and another
// window taking the focus in the middle of a game (which runs on unseen until it ends).

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "tests/support/temp_dir.h"
#include "tests/xvfb/screenshot.h"

namespace grumbol {
namespace {

using testing::RunShell;
using testing::Screenshot;

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

bool WaitForWindow(const std::string& title) {
  return RunShell("timeout 20 xdotool search --sync --onlyvisible --name '^" + title + "$' >/dev/null") == 0;
}
void HoldKey(const std::string& key) { RunShell("xdotool keydown " + key + " && sleep 0.15 && xdotool keyup " + key); }

// Whether the screen below the score line changes within a few looks: the fish swim.
bool Drawing(const std::string& name) {
  for (int tries = 0; tries < 20; ++tries) {
    const Screenshot before(name + "_a");
    Pause(200);
    const Screenshot after(name + "_b");
    if (!before.Taken() || !after.Taken()) continue;
    for (int y = 20; y < Screenshot::kHeight; y += 2) {
      for (int x = 0; x < Screenshot::kWidth; ++x) {
        const auto p = before.At(x, y), q = after.At(x, y);
        if (p.r != q.r || p.g != q.g || p.b != q.b) return true;
      }
    }
  }
  return false;
}

TEST(XFault, AnotherWindowTakingTheFocusMidGameLetsTheGameRunOnAndEndWhole) {
  testing::TempDir dir;
  ASSERT_EQ(RunShell(std::string(GRUMBOL_MAKE_GFX) + " " + dir.path().string() + " >/dev/null"), 0);
  const pid_t game = fork();
  ASSERT_GE(game, 0);
  if (game == 0) {
    std::filesystem::current_path(dir.path());
    execl(GRUMBOL_GAME, GRUMBOL_GAME, static_cast<char*>(nullptr));
    _exit(127);
  }
  struct Reaper {
    pid_t pid;
    ~Reaper() {
      if (waitpid(pid, nullptr, WNOHANG) == 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    }
  } reaper{game};

  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game"));
  HoldKey("Return");
  ASSERT_TRUE(WaitForWindow("Daromirs Grumbol Game"));
  RunShell("xdotool type --delay 30 'Fokus'");
  HoldKey("Return");
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
  int status = -1;
  for (int i = 0; i < 100 && waitpid(game, &status, WNOHANG) == 0; ++i) Pause(100);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(testing::ReadFileBytes((dir.path() / "GFX" / "Vusk.qzc").string()), "Fokus: 0\r\n");
  SDL_DestroyWindow(thief);
  SDL_Quit();
}

}  // namespace
}  // namespace grumbol
