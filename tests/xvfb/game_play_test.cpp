// A new player's whole game on a real X server with the default assets and a German keyboard,
// recorded: the first box, a name cancelled with Escape, the name, a fish found on the screen
// and shot, a hot key, a cheat, Escape, the "Game Over" box and the record line; then the
// recording verified without a display, to the score of the record line. Every step waits for
// the state it needs.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/xvfb/x_player.h"

namespace grumbol {
namespace {

using namespace testing;

TEST(XGame, ANewPlayerShootsAFishTheRecordKeepsTheScoreAndTheReplayVerifiesIt) {
  const TempDir replays;
  const std::string replay = replays.File("game.replay");
  // A German keyboard: the cheat's Z is labelled Y there, and keys count by position.
  ASSERT_EQ(RunShell("setxkbmap de"), 0);
  GameProcess game(GRUMBOL_GAME, GRUMBOL_MAKE_GFX, {"--record", replay});
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game"));
  HoldKey("Return");
  ASSERT_TRUE(WaitForWindow("Daromirs Grumbol Game"));
  RunShell("xdotool type --delay 30 Bob");
  HoldKey("Escape");  // cancelled: no name, however much was typed
  ASSERT_TRUE(WaitForWindow("Name vergessen!"));
  HoldKey("Return");
  ASSERT_TRUE(game.EnterName("Quorvel"));

  // Two looks at the screen a moment apart find the fish by its movement.
  Sighting seen;
  for (int tries = 0; tries < 40; ++tries) {
    Pause(300);
    seen = SwimmingFish("game");
    // Wholly in view, and not too near the end.
    if (!seen.fish.Empty() && seen.fish.left >= 20 && seen.fish.right <= 700) break;
    seen = Sighting{};
  }
  ASSERT_FALSE(seen.fish.Empty()) << "no fish swam";
  // Aim at the middle of where it will be a quarter of a second from now (it swims 120 pixels
  // a second); the pointer starts at the top-left corner and follows relative movement only.
  const double ahead =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - seen.at).count() + 0.25;
  const int aim_x = seen.fish.left + 48 + static_cast<int>(120 * ahead);
  const int aim_y = (seen.fish.top + seen.fish.bottom) / 2;
  RunShell("xdotool mousemove_relative -- " + std::to_string(aim_x) + " " + std::to_string(aim_y));
  Pause(250);
  RunShell("xdotool mousedown 1 && sleep 0.2 && xdotool mouseup 1");
  Pause(300);
  const Screenshot shot("game_after_shot");
  ASSERT_TRUE(shot.Taken());
  HoldKey("1");
  // The first cheat: a fish is hit for nothing, and the record line is marked.
  RunShell(
      "xdotool keydown f keydown y mousedown 3 && sleep 0.2 && xdotool mouseup 3 keyup y keyup f");

  HoldKey("Escape");
  ASSERT_TRUE(WaitForWindow("Game Over"));
  const Screenshot result("game_over");
  HoldKey("Return");
  EXPECT_EQ(game.WaitForExit(), 0);
  EXPECT_EQ(game.Record(), "Quorvel: 10     =>  cheated\r\n");

  const ProgramRun verified = RunProgram(std::string(GRUMBOL_GAME) + " --verify " + replay);
  EXPECT_EQ(verified.status, 0) << verified.out << verified.err;
  EXPECT_NE(verified.out.find("the same: "), std::string::npos) << verified.out;
  EXPECT_NE(verified.out.find("score 10, 0 missed, cheated"), std::string::npos) << verified.out;
}

// A recorded game shown again: no dialog before it, the player's Escape ends it, the result box
// comes, and no record line is written.
TEST(XGame, AReplayIsShownUntilTheLiveEscapeAndKeepsNoRecord) {
  GameProcess game(GRUMBOL_GAME, GRUMBOL_MAKE_GFX,
                   {"--replay", std::string(GRUMBOL_REPLAYS_DIR) + "/eleven-through.replay"});
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(Drawing("replay"));
  EXPECT_NE(RunShell("xdotool search --name '^Daromir Grumbol Game$' >/dev/null"), 0);
  EXPECT_EQ(game.End(), 0);
  EXPECT_FALSE(std::filesystem::exists(game.folder() / "GFX" / "Vusk.qzc"));
}

}  // namespace
}  // namespace grumbol
