#include "runtime/random.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/null/manual_clock.h"

namespace grumbol {
namespace {

using platform::ManualClock;

// RandomInt(max) is the exact high part of raw * (max + 1) / 2^64, one step per call whatever
// the max; a negative max gives INT32_MIN.
TEST(RandomGenerator, RandomIntScalesOneRawStepExactly) {
  ManualClock clock;
  RandomGenerator generator(clock), reference(clock);
  generator.Seed(42);
  reference.Seed(42);
  for (int i = 0; i < 2000; ++i) {
    for (std::int32_t max : {0, 1, 99, 735, 0x7FFFFFFE, INT32_MAX}) {
      const unsigned __int128 product = static_cast<unsigned __int128>(reference.NextRaw()) *
                                        (static_cast<std::uint64_t>(max) + 1);
      ASSERT_EQ(generator.RandomInt(max), static_cast<std::int32_t>(product >> 64)) << max;
    }
    reference.NextRaw();
    ASSERT_EQ(generator.RandomInt(i % 2 == 0 ? -1 : INT32_MIN), INT32_MIN);
  }
}

}  // namespace
}  // namespace grumbol
