// The command line, and the score list that `grumbol --scores` prints from a record file.

#include "game/score_list.h"

#include <gtest/gtest.h>

#include <string>

#include "game/command_line.h"

namespace grumbol::game {
namespace {

TEST(ScoreList, BestFirstTiesInFileOrderCheatsMarkedAndOddLinesCounted) {
  // As the game writes it: each line after the first starts with the file's first line.
  const std::string records =
      "Rita: 120\r\n"
      "Rita: 120Bob: 300     =>  cheated\r\n"
      "Rita: 120Ann: 120\r\n"
      "Rita: 120: 40\r\n"      // a blank name
      "Rita: 120Tom: \r\n"     // no score
      "Rita: 120Tom: 12a\r\n"  // not a number
      "\r\n"
      "Rita: 120Jürgen: -10\n"  // a Unix line end
      "Rita: 120Eve: 300";      // no line end at the end
  EXPECT_EQ(BestScores(records, 10).Format(),
            "  1. Bob       300  cheated\n"
            "  2. Eve       300\n"
            "  3. Rita      120\n"
            "  4. Ann       120\n"
            "  5.            40\n"
            "  6. Jürgen    -10\n"
            "(3 lines skipped: not a game's record)\n");
  const ScoreList two = BestScores(records, 2);
  ASSERT_EQ(two.best.size(), 2u);
  EXPECT_EQ(two.best[1].name, "Eve");
  EXPECT_EQ(two.skipped, 3);
}

TEST(ScoreList, ALongFileIsReadToItsEnd) {
  std::string records = "Anna: 10\r\n";
  for (int i = 0; i < 400; ++i) records += "Anna: 10Zed: " + std::to_string(i % 50) + "\r\n";
  ASSERT_GT(records.size(), 4096u);
  records += "Anna: 10Last: 990\r\n";
  const ScoreList best = BestScores(records, 3);
  ASSERT_EQ(best.best.size(), 3u);
  EXPECT_EQ(best.best[0].name, "Last");
  EXPECT_EQ(best.best[1].score, 49);
  EXPECT_EQ(best.skipped, 0);
}

TEST(CommandLine, OptionsAndTheirMistakes) {
  using Action = CommandLine::Action;
  struct Case {
    std::vector<std::string> args;
    Action action;
    bool window;
    int scores;
  };
  const Case cases[] = {
      {{}, Action::kPlay, false, 10},
      {{"--window"}, Action::kPlay, true, 10},
      {{"--scores"}, Action::kScores, false, 10},
      {{"--scores", "3"}, Action::kScores, false, 3},
      {{"--scores", "--window"}, Action::kScores, true, 10},
      {{"--help"}, Action::kHelp, false, 10},
      {{"--version"}, Action::kVersion, false, 10},
      {{"--scores", "0"}, Action::kError, false, 0},
      {{"--scores", "x"}, Action::kError, false, 0},
      {{"--fullscreen"}, Action::kError, false, 0},
      {{"window"}, Action::kError, false, 0},
  };
  for (const Case& c : cases) {
    const CommandLine line = CommandLine::Parse(c.args);
    const std::string shown = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(line.action, c.action) << shown;
    if (c.action == Action::kError) {
      EXPECT_NE(line.error.find(c.args.back()), std::string::npos) << line.error;
      continue;
    }
    EXPECT_EQ(line.window, c.window) << shown;
    EXPECT_EQ(line.scores, c.scores) << shown;
  }
}

}  // namespace
}  // namespace grumbol::game
