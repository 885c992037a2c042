// The built game meeting faults of the machine it runs on: no display at all, and the game
// stopped while another window takes the focus.

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

// The game is stopped while the other window holds the focus (a stall far longer than the
// game's beat can catch up); continued, it reads the loss and the return of the focus from
// the X server in one go.
TEST(XFault, FocusLostWhileStoppedAndRegainedLeavesTheGameWholeAndGoingOn) {
  GameProcess game(GRUMBOL_GAME, GRUMBOL_MAKE_GFX);
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
  EXPECT_EQ(SameShare(before, after, {0, 0, before.width() - 1, 19}), 1.0) << "score or misses changed";
  EXPECT_GT(SameShare(before, after, {0, 20, before.width() - 1, before.height() - 1}), 0.9)
      << "the background is not as it was";
  EXPECT_NE(RunShell("xdotool search --name '^Game Over$' >/dev/null"), 0);

  HoldKey("Escape");
  ASSERT_TRUE(WaitForWindow("Game Over"));
  HoldKey("Return");
  EXPECT_EQ(game.WaitForExit(), 0);
  EXPECT_EQ(game.Record(), "Fokus: 0\r\n");
}

}  // namespace
}  // namespace grumbol
