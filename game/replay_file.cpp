#include "game/replay_file.h"

#include <cstdint>
#include <limits>

#include "runtime/text.h"

namespace grumbol::game {

namespace {

constexpr std::string_view kHeader = "GRUMBOL REPLAY ";

// The next space-separated word of `rest`, taken off it.
std::string_view NextWord(std::string_view& rest) {
  const std::size_t space = rest.find(' ');
  const std::string_view word = rest.substr(0, space);
  rest.remove_prefix(space == std::string_view::npos ? rest.size() : space + 1);
  return word;
}

std::optional<Replay::Change> ParseChange(std::string_view word) {
  using Kind = Replay::Change::Kind;
  if (word.size() < 2) return std::nullopt;
  const std::string_view body = word.substr(1);
  switch (word[0]) {
    case 'x':
    case 'y': {
      const auto at = ParseNumber<std::int32_t>(body, INT16_MIN, INT16_MAX);
      if (!at) return std::nullopt;
      return Replay::Change{word[0] == 'x' ? Kind::kPointerX : Kind::kPointerY, *at, 0};
    }
    case 'b':
    case 'k': {
      const char sign = body.back();
      if (sign != '+' && sign != '-') return std::nullopt;
      const auto which = word[0] == 'b'
                             ? ParseNumber<std::int32_t>(body.substr(0, body.size() - 1), 1, 3)
                             : ParseNumber<std::int32_t>(body.substr(0, body.size() - 1), 0, 255);
      if (!which) return std::nullopt;
      return Replay::Change{word[0] == 'b' ? Kind::kButton : Kind::kKey, *which,
                            sign == '+' ? 1 : 0};
    }
    case '=': {
      const std::size_t comma = body.find(',');
      if (comma == std::string_view::npos) return std::nullopt;
      const auto score = ParseNumber<std::int32_t>(body.substr(0, comma), INT16_MIN, INT16_MAX);
      const auto misses = ParseNumber<std::int32_t>(body.substr(comma + 1), INT16_MIN, INT16_MAX);
      if (!score || !misses) return std::nullopt;
      return Replay::Change{Kind::kCheck, *score, *misses};
    }
    default: return std::nullopt;
  }
}

}  // namespace

ReplayReading ReadReplay(std::string_view text) {
  Replay replay;
  int line_number = 0;
  const auto fail = [&line_number](const std::string& what) {
    return ReplayReading{std::nullopt, "line " + std::to_string(line_number) + ": " + what};
  };
  bool ended = false;
  while (!text.empty()) {
    ++line_number;
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return fail("the line has no end (the file was cut off)");
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (ended) return fail("there is more after the end line");

    if (line_number == 1) {
      if (!line.starts_with(kHeader)) return fail("not a Grumbol replay");
      if (ParseNumber<int>(line.substr(kHeader.size()), Replay::kVersion, Replay::kVersion) !=
          Replay::kVersion) {
        return fail("a replay format this game does not know (it reads version " +
                    std::to_string(Replay::kVersion) + ")");
      }
      continue;
    }
    if (line_number == 2) {
      if (!line.starts_with("name ")) return fail("the player's name is missing");
      replay.name = line.substr(5);
      if (replay.name.size() > Replay::kMaxNameBytes) return fail("the name is too long");
      if (replay.name.find('\r') != std::string::npos) return fail("the name holds a line break");
      continue;
    }
    std::string_view rest = line;
    const std::string_view first = NextWord(rest);
    if (first == "seed") {
      if (replay.seed) return fail("a second seed");
      replay.seed = ParseNumber<std::uint32_t>(rest, 0, std::numeric_limits<std::uint32_t>::max());
      if (!replay.seed) return fail("the seed is no number");
      continue;
    }
    if (first == "end") {
      const auto steps = ParseNumber<std::uint32_t>(NextWord(rest), 1, Replay::kMaxSteps);
      const auto score = ParseNumber<std::int32_t>(NextWord(rest), INT16_MIN, INT16_MAX);
      const auto misses = ParseNumber<std::int32_t>(NextWord(rest), INT16_MIN, INT16_MAX);
      const auto cheated = ParseNumber<int>(rest, 0, 1);
      if (!steps || !score || !misses || !cheated)
        return fail("the end line is not <steps> <score> <misses> <0|1>");
      if (!replay.steps.empty() && *steps <= replay.steps.back().number)
        return fail("the game ends before its last step");
      replay.result = Replay::Result{*steps, *score, *misses, *cheated == 1};
      ended = true;
      continue;
    }
    const auto number = ParseNumber<std::uint32_t>(first, 0, Replay::kMaxSteps - 1);
    if (!number) return fail("neither a step nor seed nor end");
    if (!replay.steps.empty() && *number <= replay.steps.back().number)
      return fail("the steps go back");
    Replay::Step step{*number, {}};
    // Each key, button, coordinate and the checkpoint at most once.
    constexpr std::size_t kMaxChanges = 256 + 3 + 2 + 1;
    while (!rest.empty()) {
      const std::optional<Replay::Change> change = ParseChange(NextWord(rest));
      if (!change) return fail("a change that is none of x, y, b, k or =");
      if (step.changes.size() == kMaxChanges) return fail("too many changes in one step");
      step.changes.push_back(*change);
    }
    if (step.changes.empty()) return fail("a step without changes");
    replay.steps.push_back(std::move(step));
  }
  if (line_number < 2) return ReplayReading{std::nullopt, "not a Grumbol replay (too short)"};
  return ReplayReading{std::move(replay), ""};
}

std::string ReplayHeaderLine() { return std::string(kHeader) + std::to_string(Replay::kVersion); }

std::string ReplayStepLine(const Replay::Step& step) {
  using Kind = Replay::Change::Kind;
  std::string line = std::to_string(step.number);
  for (const Replay::Change& change : step.changes) {
    switch (change.kind) {
      case Kind::kPointerX: line += " x" + std::to_string(change.a); break;
      case Kind::kPointerY: line += " y" + std::to_string(change.a); break;
      case Kind::kButton:
        line += " b" + std::to_string(change.a) + (change.b != 0 ? "+" : "-");
        break;
      case Kind::kKey: line += " k" + std::to_string(change.a) + (change.b != 0 ? "+" : "-"); break;
      case Kind::kCheck:
        line += " =" + std::to_string(change.a) + "," + std::to_string(change.b);
        break;
    }
  }
  return line;
}

std::string ReplayEndLine(const Replay::Result& result) {
  return "end " + std::to_string(result.steps) + " " + std::to_string(result.score) + " " +
         std::to_string(result.misses) + (result.cheated ? " 1" : " 0");
}

std::string WriteReplay(const Replay& replay) {
  std::string text = ReplayHeaderLine() + "\nname " + replay.name + "\n";
  if (replay.seed) text += "seed " + std::to_string(*replay.seed) + "\n";
  for (const Replay::Step& step : replay.steps) text += ReplayStepLine(step) + "\n";
  if (replay.result) text += ReplayEndLine(*replay.result) + "\n";
  return text;
}

}  // namespace grumbol::game
