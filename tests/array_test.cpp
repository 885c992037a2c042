#include "runtime/array.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace grumbol {
namespace {

TEST(Array, HoldsZeroedIndicesZeroToMaxAndIndicesOutsideTouchNothing) {
  Array<std::int16_t> array;
  array[0] = 5;  // holds nothing yet
  EXPECT_EQ(array[0], 0);
  for (int round = 0; round < 2; ++round) {  // allocating again discards the old contents
    ASSERT_TRUE(array.Allocate(3));
    EXPECT_EQ(array.Max(), 3);
    for (int i = 0; i <= 3; ++i) EXPECT_EQ(array[i], 0);
    for (int i = -1; i <= 4; ++i) array[i] = static_cast<std::int16_t>(i * 10 - 20);
    for (int i = -1; i <= 4; ++i) EXPECT_EQ(array[i], i < 0 || i > 3 ? 0 : i * 10 - 20) << i;
  }
  EXPECT_FALSE(array.Allocate(-2));  // a negative max, or Release, leaves nothing
  EXPECT_EQ(array.Max(), -1);
  EXPECT_EQ(array[0], 0);
  ASSERT_TRUE(array.Allocate(0));
  array.Release();
  EXPECT_FALSE(array.Holds());
  EXPECT_EQ(array[0], 0);
}

}  // namespace
}  // namespace grumbol
