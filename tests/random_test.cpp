#include "runtime/random.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "platform/null/manual_clock.h"

namespace grumbol {
namespace {

using platform::ManualClock;

TEST(RandomGenerator, ReferenceValuesAfterSeeding) {
  ManualClock clock;
  RandomGenerator generator(clock);
  generator.Seed(0);
  EXPECT_EQ(generator.NextRaw(), 0x8B910D6160217BDFull);
  EXPECT_EQ(generator.NextRaw(), 0xC8AFE081ED8E05C2ull);
  EXPECT_EQ(generator.NextRaw(), 0xA90E502FD8A9DF79ull);
  generator.Seed(12345);
  EXPECT_EQ(generator.NextRaw(), 0x47752D856B4B519Dull);
  EXPECT_EQ(generator.NextRaw(), 0xB5E6CF8850F8C8C0ull);
  EXPECT_EQ(generator.NextRaw(), 0xA995EEC5C0697A2Full);

  generator.Seed(0);
  for (int expected : {54, 78, 66, 37, 23}) EXPECT_EQ(generator.RandomInt(99), expected);
  generator.Seed(0);
  for (int expected : {401, 576, 486, 278, 173}) EXPECT_EQ(generator.RandomInt(735), expected);
}

TEST(RandomGenerator, SeedsItselfOnceFromTheTickCountOfTheFirstDraw) {
  ManualClock clock(12345), same_tick(12345), other_tick(12346);
  RandomGenerator from_clock(clock), same(same_tick), other(other_tick), seeded(clock);
  seeded.Seed(12345);
  bool any_difference = false;
  for (int i = 0; i < 100; ++i) {
    const std::uint64_t value = from_clock.NextRaw();
    clock.SetTickCount(99999 + i);  // later ticks do not reseed
    EXPECT_EQ(value, seeded.NextRaw());
    EXPECT_EQ(value, same.NextRaw());
    any_difference |= value != other.NextRaw();
  }
  EXPECT_TRUE(any_difference);
}

TEST(RandomGenerator, MapsByTakingTheHighPartAndAlwaysConsumesOneStep) {
  ManualClock clock;
  RandomGenerator generator(clock), reference(clock);
  generator.Seed(42);
  reference.Seed(42);
  for (int i = 0; i < 1000; ++i) {
    // n = 2^31: the upper 31 bits of the output.
    EXPECT_EQ(generator.RandomInt(INT32_MAX), static_cast<std::int32_t>(reference.NextRaw() >> 33));
    EXPECT_EQ(generator.RandomInt(0), 0);
    EXPECT_EQ(generator.RandomInt(-1), INT32_MIN);
    EXPECT_EQ(generator.RandomInt(INT32_MIN), INT32_MIN);
    for (int step = 0; step < 3; ++step) reference.NextRaw();
  }
}

TEST(RandomGenerator, CoversTheWholeRangeEvenlyUpperBoundIncluded) {
  ManualClock clock;
  RandomGenerator generator(clock);
  generator.Seed(1);
  std::array<int, 256> hits{};
  for (int i = 0; i < 100000; ++i) {
    const int value = generator.RandomInt(255);
    ASSERT_TRUE(value >= 0 && value <= 255) << value;
    ++hits[static_cast<std::size_t>(value)];
  }
  for (int count : hits) EXPECT_TRUE(count > 250 && count < 550) << count;  // ~390 each
  bool saw_735 = false;
  for (int i = 0; i < 100000 && !saw_735; ++i) saw_735 = generator.RandomInt(735) == 735;
  EXPECT_TRUE(saw_735);
}

TEST(SleepMs, AsksTheClockForTheTimeAndIgnoresNegativeTimes) {
  ManualClock clock(100);
  SleepMs(clock, 1500);
  SleepMs(clock, -5);
  SleepMs(clock, 0);
  EXPECT_EQ(clock.TickCount(), 1600u);
}

}  // namespace
}  // namespace grumbol
