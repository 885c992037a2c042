#pragma once

#include <cstdint>
#include <string>

#include "runtime/array.h"

namespace grumbol::game {

// The state of one fish slot.
enum FishState : std::int16_t {
  kFree = 0,      // empty, not drawn
  kSwimming = 1,  // alive, moving right, can be shot
  kHit = 2,       // shot: animating while still drifting right
  kEscaped = 3,   // got through: animating in place
};

// The 20 fish slots, numbered 1 to 20, as four parallel arrays with the indices 0 to 21
// (entries 0 and 21 belong to no slot).
struct FishField {
  static constexpr int kFirstSlot = 1;
  static constexpr int kLastSlot = 20;
  static constexpr int kMaxIndex = 21;

  Array<std::int16_t> x;
  Array<std::int16_t> y;
  Array<std::int16_t> state;
  Array<std::int16_t> anim_counter;  // the fish frame drawn is anim_counter / 3
};

struct GameState {
  std::int16_t score = 0;
  std::int16_t misses = 0;
  std::int16_t fish_limit = 0;
  std::int16_t button_latch = 0;
  std::int16_t active_fish = 0;
  std::int16_t movie_volume = 0;
  std::int16_t sound_volume = 0;
  std::string player_name;
  std::string cheat_mark;
  FishField fish;
};

// Adds to a 16-bit game value, stopping at the ends of its range instead of wrapping: a
// score past 32767 must not turn negative.
inline std::int16_t SaturatingAdd(std::int16_t value, int amount) {
  const int sum = value + amount;
  return static_cast<std::int16_t>(sum > INT16_MAX ? INT16_MAX : sum < INT16_MIN ? INT16_MIN : sum);
}

}  // namespace grumbol::game
