// A new player's whole game with the default assets, on an X server of the test's own with a
// German keyboard, or under a Wayland compositor; recorded: the first box, a name cancelled with
// Escape, the name, a fish found on the screen and shot, a hot key, a cheat, Escape, the "Game
// Over" box and the record line; then the recording verified without a display, to the score of the
// record line and the replay's own end line. Every step waits for the state it needs; how many
// steps the game took, and how many fish got through meanwhile, depend on the machine and are taken
// from the game's own report.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>

#include "tests/xvfb/x_player.h"

namespace grumbol {
namespace {

using namespace testing;

TEST(XGame, ANewPlayerShootsAFishTheRecordKeepsTheScoreAndTheReplayVerifiesIt) {
  const TempDir replays;
  const std::string replay = replays.File("game.replay");
  // A German keyboard on an X server of the test's own: the cheat's Z is labelled Y there, and
  // keys count by position. (Under a Wayland compositor the keyboard is its own, a US one.)
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const bool german = wayland == nullptr || *wayland == '\0';
  if (german) {
    ASSERT_EQ(RunShell("setxkbmap de"), 0);
  }
  const std::string z_key = german ? "y" : "z";
  GameProcess game(GRUMBOL_GAME, GRUMBOL_GFX, {"--record", replay}, {"GRUMBOL_LOG=1"});
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game"));
  const Screenshot box("game_first_box");  // in the middle of the bare desktop
  ASSERT_TRUE(box.Taken());
  EXPECT_NE(box.At(box.width() / 2, box.height() / 2), box.At(0, 0));
  EXPECT_TRUE(AppWindowShown(GRUMBOL_APP_ID)) << "the box is the game's, as its window will be";
  HoldKey("Return");
  ASSERT_TRUE(WaitForWindow("Daromirs Grumbol Game"));
  Drive("type --delay 30 Bob");
  HoldKey("Escape");  // cancelled: no name, however much was typed
  ASSERT_TRUE(WaitForWindow("Name vergessen!"));
  HoldKey("Return");
  ASSERT_TRUE(game.EnterName("Quorvel"));
  // The pointer brought into the game's window before any fish is aimed at.
  ASSERT_TRUE(MoveCrossHair(replay, 512, 384));

  // Fish are shot at until the game counts a hit. The cross-hair waits in a fish's way and
  // shoots as often as it can while the fish swims through: each press and release is held
  // until the game has read it, so the shots come as fast as the game takes them, however
  // fast the machine is. The game's own report below says what it made of every shot.
  const auto read = [&](const char* change, std::size_t from) {
    return ReplaySoFar(replay).Read({change}, from);
  };
  // Until a hit, or the game has ended by itself (eleven fish through).
  const auto shooting = [&] { return ReplaySoFar(replay).Last(" =") == 0 && !read("\nend ", 0); };
  for (int fish = 0; fish < 6 && shooting(); ++fish) {
    // Two looks at the screen a moment apart find the fish by its movement.
    Sighting seen;
    for (int tries = 0; tries < 40; ++tries) {
      Pause(300);
      seen = SwimmingFish("game");
      // Wholly in view, and far enough from the end to be waited for.
      if (!seen.fish.Empty() && seen.fish.left >= 20 && seen.fish.right <= 600) break;
      seen = Sighting{};
    }
    ASSERT_FALSE(seen.fish.Empty()) << "no fish swam";
    // Just ahead of where its front can be by now (it swims 120 pixels a second at most).
    const double since =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - seen.at).count();
    const int aim_x = seen.fish.right + 30 + static_cast<int>(120 * since);
    const int aim_y = (seen.fish.top + seen.fish.bottom) / 2;
    if (aim_x > 1000) continue;  // it swam nearly through while the screen was looked at
    ASSERT_TRUE(MoveCrossHair(replay, aim_x, aim_y));
    for (int shots = 0; shots < 40 && shooting(); ++shots) {
      const std::size_t pressed = ReplaySoFar(replay).text.size();
      std::size_t released = pressed;  // as far as the replay got once the press was read
      HoldUntil("mousedown 1", "mouseup 1", [&] {
        const ReplaySoFar now(replay);
        released = now.text.size();
        return now.Read({" b1+"}, pressed);
      });
      WaitUntil([&] { return read(" b1-", released); }, 2);
    }
  }
  ASSERT_GE(ReplaySoFar(replay).Last(" ="), 10) << "six fish, none hit:\n"
                                                << ReplaySoFar(replay).text;
  // The desktop knows the game's window (no box is open now) as the game's desktop entry, as it
  // knew the box.
  EXPECT_TRUE(WaitUntil([] { return AppWindowShown(GRUMBOL_APP_ID); }));
  std::size_t before = ReplaySoFar(replay).text.size();
  EXPECT_TRUE(HoldUntil("keydown 2", "keyup 2", [&] { return read(" k3+", before); }));
  // The first cheat: a fish is hit for nothing, and the record line is marked.
  before = ReplaySoFar(replay).text.size();
  EXPECT_TRUE(HoldUntil("keydown f keydown " + z_key + " mousedown 3",
                        "mouseup 3 keyup " + z_key + " keyup f", [&] {
                          return ReplaySoFar(replay).Read({" k33+", " k44+", " b2+"}, before);
                        }));

  const auto last_steps = [&] {
    const std::string text = ReplaySoFar(replay).text;
    return text.substr(text.size() - std::min<std::size_t>(text.size(), 400));
  };
  ASSERT_TRUE(game.PressEscapeToEnd()) << last_steps();
  ASSERT_TRUE(WaitForWindow("Game Over")) << last_steps() << game.Errors() << WindowList();
  const Screenshot result("game_over");
  HoldKey("Return");
  EXPECT_EQ(game.WaitForExit(), 0);
  // The boxes were on the window system of the game's own window.
  const std::string said = game.Errors();
  const bool x11 = said.find("SDL video driver 'x11'") != std::string::npos;
  EXPECT_NE(said.find(x11 ? "GdkX11Display" : "GdkWaylandDisplay"), std::string::npos) << said;

  // The replay's end line, the record line and the replay played again agree.
  const std::string recorded = ReplaySoFar(replay).text;
  const std::size_t end = recorded.rfind("end ");
  ASSERT_NE(end, std::string::npos) << recorded;
  unsigned steps = 0;
  int score = -1, misses = -1, cheated = -1;
  ASSERT_EQ(
      std::sscanf(recorded.c_str() + end, "end %u %d %d %d", &steps, &score, &misses, &cheated), 4);
  EXPECT_EQ(cheated, 1);
  EXPECT_EQ(game.Record(), "Quorvel: " + std::to_string(score) + "     =>  cheated\r\n");
  const ProgramRun verified = RunProgram(std::string(GRUMBOL_GAME) + " --verify " + replay);
  EXPECT_EQ(verified.status, 0) << verified.out << verified.err;
  EXPECT_NE(
      verified.out.find("the same: " + std::to_string(steps) + " steps, score " +
                        std::to_string(score) + ", " + std::to_string(misses) + " missed, cheated"),
      std::string::npos)
      << verified.out;
}

// A recorded game shown again: no dialog before it, the player's Escape ends it, the result box
// comes, and no record line is written.
TEST(XGame, AReplayIsShownUntilTheLiveEscapeAndKeepsNoRecord) {
  GameProcess game(GRUMBOL_GAME, GRUMBOL_GFX,
                   {"--replay", std::string(GRUMBOL_REPLAYS_DIR) + "/eleven-through.replay"});
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(Drawing("replay"));
  EXPECT_FALSE(WindowShown("Daromir Grumbol Game"));
  EXPECT_EQ(game.End(), 0);
  EXPECT_FALSE(std::filesystem::exists(game.folder() / "GFX" / "Vusk.qzc"));
}

}  // namespace
}  // namespace grumbol
