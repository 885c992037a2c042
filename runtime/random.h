#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "platform/clock.h"

namespace grumbol {

// RANROT type W generator: a lagged-Fibonacci generator with bit rotation over 17 pairs of
// 32-bit words. It seeds itself from the tick counter on the first draw, so every run
// starting at a different moment gets a different sequence.
class RandomGenerator {
 public:
  explicit RandomGenerator(platform::Clock& clock) : clock_(clock) {}

  // Uniform over 0..max, both ends included; -2147483648 for a negative max.
  // Every call advances the generator by one step.
  std::int32_t RandomInt(std::int32_t max);

  // Seeds the generator now; the first RandomInt then no longer reads the clock.
  void Seed(std::uint32_t seed);

  // One generator step: the raw 64-bit output. Seeds from the clock first if needed.
  std::uint64_t NextRaw();

  // The seed taken, once there is one: with it the same numbers come again.
  std::optional<std::uint32_t> seed() const { return seed_; }

 private:
  struct Entry {
    std::uint32_t first = 0;
    std::uint32_t second = 0;
  };
  static constexpr int kEntries = 17;
  static constexpr int kLag = 10;

  platform::Clock& clock_;
  std::array<Entry, kEntries> entries_{};
  int p1_ = 0;
  int p2_ = kLag;
  std::optional<std::uint32_t> seed_;
};

// Blocks for at least the given time; a negative time is no time.
void SleepMs(platform::Clock& clock, std::int32_t milliseconds);

}  // namespace grumbol
