#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace grumbol::game {

// The best games in a record file, for `grumbol --scores`.
struct ScoreList {
  struct Entry {
    std::string name;
    long score = 0;
    bool cheated = false;
  };
  std::vector<Entry> best;  // highest first; equal scores in the order of the file
  int skipped = 0;          // lines that are not a game's record line

  // One line per game: rank, name, score and "cheated" where a cheat was used; then how many
  // lines were skipped, if any.
  std::string Format() const;
};

// Reads the record file's text: every line is the file's first line (as it stood when the
// line was added), the player's name, ": ", the score and maybe the cheat mark.
ScoreList BestScores(std::string_view records, int count);

}  // namespace grumbol::game
