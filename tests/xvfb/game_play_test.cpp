// A new player's whole game on a real X server with the default assets: the first box, an
// empty name, the name, a fish found on the screen and shot, Escape, the "Game Over" box and
// the record line. Every step waits for the state it needs before acting.

#include <gtest/gtest.h>

#include "tests/xvfb/x_player.h"

namespace grumbol {
namespace {

using namespace testing;

TEST(XGame, ANewPlayerShootsAFishAndTheRecordKeepsTheScore) {
  GameProcess game(GRUMBOL_GAME, GRUMBOL_MAKE_GFX);
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game"));
  HoldKey("Return");
  ASSERT_TRUE(WaitForWindow("Daromirs Grumbol Game"));
  HoldKey("Return");  // an empty name
  ASSERT_TRUE(WaitForWindow("Name vergessen!"));
  HoldKey("Return");
  ASSERT_TRUE(game.EnterName("Rita Rochen"));

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
  const double ahead = std::chrono::duration<double>(std::chrono::steady_clock::now() - seen.at).count() + 0.25;
  const int aim_x = seen.fish.left + 48 + static_cast<int>(120 * ahead);
  const int aim_y = (seen.fish.top + seen.fish.bottom) / 2;
  RunShell("xdotool mousemove_relative -- " + std::to_string(aim_x) + " " + std::to_string(aim_y));
  Pause(250);
  RunShell("xdotool mousedown 1 && sleep 0.2 && xdotool mouseup 1");
  Pause(300);
  const Screenshot shot("game_after_shot");
  ASSERT_TRUE(shot.Taken());

  HoldKey("Escape");
  ASSERT_TRUE(WaitForWindow("Game Over"));
  const Screenshot result("game_over");
  HoldKey("Return");
  EXPECT_EQ(game.WaitForExit(), 0);
  EXPECT_EQ(game.Record(), "Rita Rochen: 10\r\n");
}

}  // namespace
}  // namespace grumbol
