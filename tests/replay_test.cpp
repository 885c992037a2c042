// Replays: a recorded game comes out the same when played again; a changed or damaged file is
// caught.

#include "game/replay.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

namespace grumbol::game {
namespace {

// A recorded game with shots, hot keys, both cheats and Escape, and what the game says of it.
ReplayVerdict Verify(const std::string& text) {
  const ReplayReading reading = ReadReplay(text);
  EXPECT_TRUE(reading.replay) << reading.error;
  return reading.replay ? VerifyReplay(*reading.replay) : ReplayVerdict{};
}

TEST(Replay, ARecordedGameComesOutTheSameAndAChangeIsFoundWhereItParts) {
  const std::string recorded =
      testing::ReadFileBytes(GRUMBOL_REPLAYS_DIR "/keys-and-cheats.replay");
  const ReplayVerdict verdict = Verify(recorded);
  EXPECT_TRUE(verdict.same) << verdict.says;

  std::string changed = recorded;
  const std::size_t checkpoint = changed.find("\n400 =300,0\n");
  ASSERT_NE(checkpoint, std::string::npos);
  changed.replace(checkpoint, 12, "\n400 =310,0\n");
  const ReplayVerdict parted = Verify(changed);
  EXPECT_FALSE(parted.same);
  EXPECT_NE(parted.says.find("they part at step 400"), std::string::npos) << parted.says;

  // Cut short, as by a killed game: it replays up to its last step and cannot say it is the same.
  const std::string cut = recorded.substr(0, recorded.rfind("end "));
  EXPECT_FALSE(Verify(cut).same);
}

TEST(Replay, FilesThatAreNoWholeReplayAreRefusedSayingWhere) {
  const std::string head = "GRUMBOL REPLAY 1\nname Ida\n";
  const std::pair<std::string, std::string> cases[] = {
      {"", "too short"},
      {"grumbol replay 1\nname Ida\n", "line 1: not a Grumbol replay"},
      {"GRUMBOL REPLAY 2\nname Ida\n", "line 1: a replay format"},
      {"GRUMBOL REPLAY 1\nName Ida\n", "line 2: the player's name"},
      {"GRUMBOL REPLAY 1\nname " + std::string(2000, 'a') + "\n", "line 2: the name is too long"},
      {head + "0 x1", "line 3: the line has no end"},
      {head + "5 x1\n5 y1\n", "line 4: the steps go back"},
      {head + "5\n", "line 3: a step without changes"},
      {head + "5 x99999\n", "line 3: a change"},
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
