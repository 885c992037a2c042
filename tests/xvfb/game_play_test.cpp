// A new player's whole game on a real X server with the default assets: the first box, an
// empty name, the name, a fish found on the screen and shot, Escape, the "Game Over" box and
// the record line. Every step waits for the state it needs before acting.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/temp_dir.h"
#include "tests/xvfb/screenshot.h"

namespace grumbol {
namespace {

using testing::RunShell;
using testing::Screenshot;

bool WaitForWindow(const std::string& title) {
  return RunShell("timeout 20 xdotool search --sync --onlyvisible --name '^" + title + "$' >/dev/null") == 0;
}

// Holds a key over several frames: a press and release between two polls reads as up.
void HoldKey(const std::string& key) {
  RunShell("xdotool keydown " + key + " && sleep 0.15 && xdotool keyup " + key);
}

struct Box {
  int left = 1024, top = 768, right = -1, bottom = -1;
  bool Empty() const { return right < left; }
};

// Where the two screenshots differ below the score line: the one fish swimming.
Box Changed(const Screenshot& a, const Screenshot& b) {
  Box box;
  for (int y = 20; y < Screenshot::kHeight; ++y) {
    for (int x = 0; x < Screenshot::kWidth; ++x) {
      const auto p = a.At(x, y), q = b.At(x, y);
      if (p.r == q.r && p.g == q.g && p.b == q.b) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

TEST(XGame, ANewPlayerShootsAFishAndTheRecordKeepsTheScore) {
  testing::TempDir dir;
  ASSERT_EQ(RunShell(std::string(GRUMBOL_MAKE_GFX) + " " + dir.path().string() + " >/dev/null"), 0);
  const pid_t game = fork();
  ASSERT_GE(game, 0);
  if (game == 0) {
    std::filesystem::current_path(dir.path());
    execl(GRUMBOL_GAME, GRUMBOL_GAME, static_cast<char*>(nullptr));
    _exit(127);
  }

  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game"));
  HoldKey("Return");
  ASSERT_TRUE(WaitForWindow("Daromirs Grumbol Game"));
  HoldKey("Return");  // an empty name
  ASSERT_TRUE(WaitForWindow("Name vergessen!"));
  HoldKey("Return");
  ASSERT_TRUE(WaitForWindow("Daromirs Grumbol Game"));
  RunShell("xdotool type --delay 30 'Rita Rochen'");
  HoldKey("Return");

  // Two looks at the screen a moment apart find the fish by its movement.
  Box fish;
  for (int tries = 0; tries < 40 && fish.Empty(); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const Screenshot before("game_a");
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const Screenshot after("game_b");
    if (before.Taken() && after.Taken()) fish = Changed(before, after);
    if (!fish.Empty() && fish.right - fish.left > 150) fish = Box{};  // not one fish: look again
    if (!fish.Empty() && fish.right > 800) fish = Box{};  // too near the end: wait for the next
  }
  ASSERT_FALSE(fish.Empty()) << "no fish swam";
  // Aim a little ahead of it and hold the button while it swims under the cross-hair; the
  // pointer starts at the top-left corner and follows relative movement only.
  const int aim_x = fish.right + 25, aim_y = (fish.top + fish.bottom) / 2;
  RunShell("xdotool mousemove_relative -- " + std::to_string(aim_x) + " " + std::to_string(aim_y));
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  RunShell("xdotool mousedown 1 && sleep 0.2 && xdotool mouseup 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const Screenshot shot("game_after_shot");
  ASSERT_TRUE(shot.Taken());

  HoldKey("Escape");
  ASSERT_TRUE(WaitForWindow("Game Over"));
  const Screenshot result("game_over");
  HoldKey("Return");
  int status = -1;
  for (int i = 0; i < 100 && waitpid(game, &status, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (!WIFEXITED(status)) kill(game, SIGKILL);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(testing::ReadFileBytes((dir.path() / "GFX" / "Vusk.qzc").string()), "Rita Rochen: 10\r\n");
}

}  // namespace
}  // namespace grumbol
