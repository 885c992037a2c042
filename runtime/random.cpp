#include "runtime/random.h"

#include <bit>

namespace grumbol {

void RandomGenerator::Seed(std::uint32_t seed) {
  seed_ = seed;
  std::uint32_t s = seed;
  for (int k = 0; k < 2 * kEntries; ++k) {
    s = s * 2891336453u + 1u;
    Entry& entry = entries_[k / 2];
    (k % 2 == 0 ? entry.first : entry.second) = s;
  }
  p1_ = 0;
  p2_ = kLag;
  for (int i = 0; i < 31; ++i) NextRaw();
}

std::uint64_t RandomGenerator::NextRaw() {
  if (!seed_) Seed(clock_.TickCount());
  Entry& e1 = entries_[p1_];
  const Entry& e2 = entries_[p2_];
  const std::uint32_t z = std::rotl(e1.first, 19) + e2.first;
  const std::uint32_t y = std::rotl(e1.second, 27) + e2.second;
  e1.first = y;
  e1.second = z;
  p1_ = p1_ == 0 ? kEntries - 1 : p1_ - 1;
  p2_ = p2_ == 0 ? kEntries - 1 : p2_ - 1;
  return (static_cast<std::uint64_t>(z) << 32) | y;
}

std::int32_t RandomGenerator::RandomInt(std::int32_t max) {
  const std::uint64_t x = NextRaw();
  if (max < 0) return INT32_MIN;
  // The high part of x * n / 2^64, computed exactly in two 32x32 products.
  const std::uint64_t n = static_cast<std::uint32_t>(max) + 1u;
  const std::uint64_t y = x & 0xFFFFFFFFu;
  const std::uint64_t z = x >> 32;
  const std::uint64_t t = y * n;
  const std::uint64_t u = z * n + (t >> 32);
  return static_cast<std::int32_t>(u >> 32);
}

void SleepMs(platform::Clock& clock, std::int32_t milliseconds) {
  if (milliseconds > 0) clock.Sleep(static_cast<std::uint32_t>(milliseconds));
}

}  // namespace grumbol
