#include "game/score_list.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "game/game.h"
#include "runtime/text.h"

namespace grumbol::game {

namespace {

std::optional<ScoreList::Entry> Parse(std::string_view line) {
  ScoreList::Entry entry;
  const std::string_view mark = Game::kCheatMark;
  if (line.ends_with(mark)) {
    entry.cheated = true;
    line.remove_suffix(mark.size());
  }
  const std::size_t colon = line.rfind(": ");
  if (colon == std::string_view::npos) return std::nullopt;
  const std::optional<long> score = ParseNumber<long>(line.substr(colon + 2));
  if (!score) return std::nullopt;
  entry.score = *score;
  entry.name = line.substr(0, colon);
  return entry;
}

// Characters, not bytes: names are UTF-8.
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

ScoreList BestScores(std::string_view records, int count) {
  ScoreList list;
  std::string_view first_line;
  bool first = true;
  while (!records.empty()) {
    std::string_view line = TakeLine(records);
    if (line.ends_with('\r')) line.remove_suffix(1);
    // Each new line starts with the file's first line; the first line itself was written
    // into an empty file.
    if (first) {
      first_line = line;
    } else if (line.starts_with(first_line)) {
      line.remove_prefix(first_line.size());
    }
    first = false;
    if (const std::optional<ScoreList::Entry> entry = Parse(line)) {
      list.best.push_back(*entry);
    } else {
      ++list.skipped;
    }
  }
  std::stable_sort(list.best.begin(), list.best.end(),
                   [](const auto& a, const auto& b) { return a.score > b.score; });
  if (list.best.size() > static_cast<std::size_t>(std::max(count, 0)))
    list.best.resize(static_cast<std::size_t>(std::max(count, 0)));
  return list;
}

std::string ScoreList::Format() const {
  std::size_t name_width = 0;
  for (const Entry& entry : best) name_width = std::max(name_width, Width(entry.name));
  std::string text;
  char number[64];
  for (std::size_t rank = 0; rank < best.size(); ++rank) {
    const Entry& entry = best[rank];
    std::snprintf(number, sizeof number, "%3zu. ", rank + 1);
    text += number;
    text += entry.name;
    text.append(name_width - Width(entry.name), ' ');
    std::snprintf(number, sizeof number, " %6ld", entry.score);
    text += number;
    if (entry.cheated) text += "  cheated";
    text += '\n';
  }
  if (skipped > 0) {
    std::snprintf(number, sizeof number, "(%d line%s skipped: not a game's record)\n", skipped,
                  skipped == 1 ? "" : "s");
    text += number;
  }
  return text;
}

}  // namespace grumbol::game
