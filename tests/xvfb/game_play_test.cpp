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
  Box fish;
  for (int tries = 0; tries < 40 && fish.Empty(); ++tries) {
    Pause(300);
    const Screenshot before("game_a");
    Pause(150);
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
