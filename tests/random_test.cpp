#include "runtime/random.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/null/manual_clock.h"

namespace grumbol {
namespace {

using platform::ManualClock;

TEST(RandomGenerator, ReferenceValuesAfterSeeding) {
  ManualClock clock;
  RandomGenerator generator(clock);
  generator.Seed(0);
  for (std::uint64_t raw : {0x8B910D6160217BDFull, 0xC8AFE081ED8E05C2ull, 0xA90E502FD8A9DF79ull})
    EXPECT_EQ(generator.NextRaw(), raw);
  generator.Seed(12345);
  for (std::uint64_t raw : {0x47752D856B4B519Dull, 0xB5E6CF8850F8C8C0ull, 0xA995EEC5C0697A2Full})
    EXPECT_EQ(generator.NextRaw(), raw);
  generator.Seed(0);
  for (int expected : {54, 78, 66, 37, 23}) EXPECT_EQ(generator.RandomInt(99), expected);
  generator.Seed(0);
  for (int expected : {401, 576, 486, 278, 173}) EXPECT_EQ(generator.RandomInt(735), expected);
}

TEST(RandomGenerator, SeedsItselfOnceFromTheTickCountOfTheFirstDraw) {
  ManualClock clock(12345), other_tick(12346);
  RandomGenerator from_clock(clock), other(other_tick), seeded(other_tick);
  seeded.Seed(12345);
  const std::uint64_t first = from_clock.NextRaw();
  EXPECT_EQ(first, seeded.NextRaw());
  EXPECT_NE(first, other.NextRaw());
  clock.SetTickCount(99999);  // later ticks do not reseed
  for (int i = 0; i < 10; ++i) EXPECT_EQ(from_clock.NextRaw(), seeded.NextRaw());
}

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
