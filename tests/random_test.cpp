#include "runtime/random.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "platform/headless/manual_clock.h"

namespace grumbol {
namespace {

using platform::ManualClock;

TEST(RandomGenerator, ReferenceOutputsAfterSeeding) {
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
}

TEST(RandomGenerator, ReferenceRandomIntValues) {
  ManualClock clock;
  RandomGenerator generator(clock);

  generator.Seed(0);
  for (int expected : {54, 78, 66, 37, 23}) EXPECT_EQ(generator.RandomInt(99), expected);

  generator.Seed(0);
  for (int expected : {401, 576, 486, 278, 173}) EXPECT_EQ(generator.RandomInt(735), expected);
}

TEST(RandomGenerator, SeedsItselfFromTheTickCountOfTheFirstDraw) {
  ManualClock clock(12345);
  RandomGenerator from_clock(clock);
  clock.SetTickCount(12345);
  const std::uint64_t first = from_clock.NextRaw();
  clock.SetTickCount(99999);  // later ticks do not reseed
  const std::uint64_t second = from_clock.NextRaw();

  ManualClock other_clock;
  RandomGenerator seeded(other_clock);
  seeded.Seed(12345);
  EXPECT_EQ(first, seeded.NextRaw());
  EXPECT_EQ(second, seeded.NextRaw());
}

TEST(RandomGenerator, SameTickGivesSameSequenceAndOtherTickAnother) {
  ManualClock clock_a(777), clock_b(777), clock_c(778);
  RandomGenerator a(clock_a), b(clock_b), c(clock_c);
  bool any_difference = false;
  for (int i = 0; i < 100; ++i) {
    const int value = a.RandomInt(735);
    EXPECT_EQ(value, b.RandomInt(735));
    any_difference |= value != c.RandomInt(735);
  }
  EXPECT_TRUE(any_difference);
}

TEST(RandomGenerator, NegativeMaxAnswersMinimumAndStillConsumesOneStep) {
  ManualClock clock;
  RandomGenerator generator(clock);
  RandomGenerator reference(clock);
  generator.Seed(0);
  reference.Seed(0);

  EXPECT_EQ(generator.RandomInt(-1), INT32_MIN);
  EXPECT_EQ(generator.RandomInt(INT32_MIN), INT32_MIN);
  reference.NextRaw();
  reference.NextRaw();
  EXPECT_EQ(generator.RandomInt(99), reference.RandomInt(99));
}

TEST(RandomGenerator, MapsByTakingTheHighPartOfTheProduct) {
  ManualClock clock;
  RandomGenerator generator(clock);
  RandomGenerator reference(clock);
  generator.Seed(42);
  reference.Seed(42);
  for (int i = 0; i < 1000; ++i) {
    // n = 2^31: the result is the upper 31 bits of the output.
    EXPECT_EQ(generator.RandomInt(INT32_MAX),
              static_cast<std::int32_t>(reference.NextRaw() >> 33));
    EXPECT_EQ(generator.RandomInt(0), 0);
    reference.NextRaw();
  }
}

TEST(RandomGenerator, CoversBothEndsOfTheRangeAndNeverExceedsIt) {
  ManualClock clock;
  RandomGenerator generator(clock);
  generator.Seed(1);
  std::array<int, 256> hits{};
  for (int i = 0; i < 100000; ++i) {
    const int value = generator.RandomInt(255);
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 255);
    ++hits[value];
  }
  for (int count : hits) {
    EXPECT_GT(count, 250);  // about 390 expected each
    EXPECT_LT(count, 550);
  }
  bool saw_735 = false;
  for (int i = 0; i < 100000 && !saw_735; ++i) saw_735 = generator.RandomInt(735) == 735;
  EXPECT_TRUE(saw_735);
}

TEST(SleepMs, AsksTheClockForTheTimeAndIgnoresNegativeTimes) {
  ManualClock clock(100);
  SleepMs(clock, 1500);
  EXPECT_EQ(clock.TickCount(), 1600u);
  SleepMs(clock, -5);
  SleepMs(clock, 0);
  EXPECT_EQ(clock.SleptMilliseconds(), 1500u);
}

}  // namespace
}  // namespace grumbol
