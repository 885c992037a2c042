// Replays: a game recorded as it is played comes out the same when it is played again from its
// file; a changed or damaged file is caught.

#include "game/replay.h"

#include <gtest/gtest.h>

#include <string>

#include "game/game.h"
#include "game/scan_codes.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/game_rig.h"
#include "tests/support/test_assets.h"
#include "tests/support/working_dir.h"

namespace grumbol::game {
namespace {

using Kind = platform::HeadlessInput::Action::Kind;

// A game with shots, a hot key, the title screen (which draws numbers), both cheats and Escape.
std::string PlayAGame() {
  platform::PosixFileSystem files;
  platform::RecordingMoviePlayer movies{testing::kGameMovies};
  testing::GameRig played(true, files, movies, {Game::kCheatName}, 4242, "game.replay");
  EXPECT_TRUE(played.Start());
  played.Keys(Kind::kKeyDown, {DIK_1, DIK_4});
  played.Run(1);
  played.Keys(Kind::kKeyUp, {DIK_1, DIK_4});
  played.Run(200);  // the fish's rows come after the numbers the title screen drew
  for (int shot = 0; shot < 2; ++shot) {
    const FishField& fish = played.game.state().fish;
    played.Click(fish.x[1] + 50, fish.y[1] + 16);
    played.Run(150);
  }
  played.Keys(Kind::kKeyDown, {DIK_F, DIK_Z, DIK_C, DIK_D});
  played.Do(Kind::kButtonDown, 2);
  played.Run(30);
  played.Do(Kind::kButtonUp, 2);
  played.Run(100);
  played.Do(Kind::kKeyDown, DIK_ESCAPE);
  EXPECT_FALSE(played.Run(1));
  played.recorder->Finish();
  EXPECT_TRUE(played.recorder->ok());
  EXPECT_EQ(played.game.state().score, 320);  // two shots and thirty steps of the second cheat
  played.game.GameOver();
  return testing::ReadFileBytes("game.replay");
}

TEST(Replay, AGameComesOutTheSameFromItsRecordingAndAChangeIsFoundWhereItParts) {
  testing::WorkingDir dir;
  testing::WriteTestAssets();
  const std::string recorded = PlayAGame();
  const ReplayReading reading = ReadReplay(recorded);
  ASSERT_TRUE(reading.replay) << reading.error;
  EXPECT_EQ(reading.replay->name, Game::kCheatName);
  ASSERT_TRUE(reading.replay->seed.has_value());
  EXPECT_EQ(*reading.replay->seed, 4242u) << "the tick count at the first random number";
  const ReplayVerdict verdict = VerifyReplay(*reading.replay);
  EXPECT_TRUE(verdict.same) << verdict.says;

  // The first shot's aim moved off its fish: that shot misses, and the score parts from the
  // recording at the next checkpoint.
  Replay changed = *reading.replay;
  Replay::Step* aimed = nullptr;
  for (Replay::Step& step : changed.steps) {
    for (Replay::Change& change : step.changes) {
      if (change.kind == Replay::Change::Kind::kPointerY && step.number > 0 && aimed == nullptr) {
        change.a = change.a > 400 ? 5 : 760;
        aimed = &step;
      }
    }
  }
  ASSERT_NE(aimed, nullptr);
  const ReplayVerdict parted = VerifyReplay(changed);
  EXPECT_FALSE(parted.same);
  EXPECT_NE(parted.says.find("they part at step " + std::to_string(aimed->number + 1)),
            std::string::npos)
      << parted.says;

  // Cut short, as by a killed game: it replays up to its last step and says it cannot tell.
  Replay cut = *reading.replay;
  cut.result.reset();
  EXPECT_FALSE(VerifyReplay(cut).same);
}

TEST(Replay, FilesThatAreNoWholeReplayAreRefusedSayingWhere) {
  const std::string head = "GRUMBOL REPLAY 1\nname Ida\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", "too short"},
      {"GRUMBOL REPLAY 1\n", "too short"},
      {"grumbol replay 1\nname Ida\n", "line 1: not a Grumbol replay"},
      {"GRUMBOL REPLAY 2\nname Ida\n", "line 1: a replay format"},
      {"GRUMBOL REPLAY 1\nName Ida\n", "line 2: the player's name"},
      {"GRUMBOL REPLAY 1\nname " + std::string(2000, 'a') + "\n", "line 2: the name is too long"},
      {head + "0 x1", "line 3: the line has no end"},
      {head + "5 x1\n5 y1\n", "line 4: the steps go back"},
      {head + "5\n", "line 3: a step without changes"},
      {head + "5 x99999\n", "line 3: a change"},
      {head + "5 k256+\n", "line 3: a change"},
      {head + "5 k1*\n", "line 3: a change"},
      {head + "99999999999 x1\n", "line 3: neither a step"},
      {head + "seed 1\nseed 2\n", "line 4: a second seed"},
      {head + "seed -1\n", "line 3: the seed is no number"},
      {head + "7 x1\nend 7 0 0 0\n", "line 4: the game ends before its last step"},
      {head + "end 9 0 0 2\n", "line 3: the end line"},
      {head + "end 9 0 0 0\n1 x1\n", "line 4: there is more after the end line"},
  };
  for (const auto& [text, error] : cases) {
    const ReplayReading reading = ReadReplay(text);
    EXPECT_FALSE(reading.replay) << text;
    EXPECT_NE(reading.error.find(error), std::string::npos)
        << reading.error << " for: " << text.substr(0, 60);
  }
  std::string crowded = head + "1";
  for (int code = 0; code < 256; ++code) crowded += " k" + std::to_string(code) + "+";
  crowded += " b1+ b2+ b3+ x1 y1 =0,0 x2\n";
  EXPECT_NE(ReadReplay(crowded).error.find("too many changes"), std::string::npos);
}

}  // namespace
}  // namespace grumbol::game
