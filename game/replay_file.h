#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace grumbol::game {

// A recorded game: the player's name, the random generator's seed, and what the game read of
// the player in each step (changes only). The game is deterministic: these give it again,
// step for step. The file is text, a line each:
//   GRUMBOL REPLAY 1                   the format and its version
//   name <the player's name>
//   seed <n>                           once the game has drawn its first random number
//   <step> <change>...                 a step in which anything changed, counted from 0:
//       x<n> y<n>                        where the pointer is
//       b<n>+ b<n>-                      button n (1 to 3) is down, up
//       k<n>+ k<n>-                      the key of scan code n is down, up
//       =<score>,<misses>                the score and misses as the step began
//   end <steps> <score> <misses> <cheated: 0 or 1>
// A game cut short (a crash, a killed process) has no end line.
struct Replay {
  static constexpr int kVersion = 1;
  static constexpr std::uint32_t kMaxSteps = 60 * 60 * 60 * 10;  // ten hours
  static constexpr std::size_t kMaxNameBytes = 1024;

  struct Change {
    enum class Kind : std::uint8_t { kPointerX, kPointerY, kButton, kKey, kCheck };
    Kind kind;
    std::int32_t a = 0;  // the coordinate, button, key, or score
    std::int32_t b = 0;  // down (1) or up (0), or the misses
  };
  struct Step {
    std::uint32_t number = 0;
    std::vector<Change> changes;
  };
  struct Result {
    std::uint32_t steps = 0;
    std::int32_t score = 0;
    std::int32_t misses = 0;
    bool cheated = false;
  };

  std::string name;
  std::optional<std::uint32_t> seed;
  std::vector<Step> steps;       // ascending
  std::optional<Result> result;  // none: the game was cut short

  // The step after the last one recorded.
  std::uint32_t Length() const {
    return result ? result->steps : steps.empty() ? 0 : steps.back().number + 1;
  }
};

// Reads a replay file's text: the replay, or what is wrong with it and on which line.
struct ReplayReading {
  std::optional<Replay> replay;
  std::string error;
};
ReplayReading ReadReplay(std::string_view text);

// The lines of a replay file, without their line ends: the first, a step's, the last.
std::string ReplayHeaderLine();
std::string ReplayStepLine(const Replay::Step& step);
std::string ReplayEndLine(const Replay::Result& result);
// A whole replay file's text, which ReadReplay reads back as it was.
std::string WriteReplay(const Replay& replay);

}  // namespace grumbol::game
