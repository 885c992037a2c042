// The score list that `grumbol --scores` prints from a record file.

#include "game/score_list.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace grumbol::game
