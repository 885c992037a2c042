#include "runtime/array.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace grumbol {
namespace {

TEST(Array, CreatedZeroFilledOverIndicesZeroToMax) {
  Array<std::int16_t> fish_x;
  ASSERT_TRUE(fish_x.Allocate(21));
  EXPECT_EQ(fish_x.Max(), 21);
  for (int i = 0; i <= 21; ++i) {
    EXPECT_EQ(fish_x[i], 0);
    fish_x[i] = static_cast<std::int16_t>(i * 10 - 120);
  }
  EXPECT_EQ(fish_x[21], 90);

  // Allocating again discards the old contents.
  ASSERT_TRUE(fish_x.Allocate(21));
  for (int i = 0; i <= 21; ++i) EXPECT_EQ(fish_x[i], 0);
}

TEST(Array, IndicesOutsideTheRangeTouchNoElement) {
  Array<std::int16_t> array;
  EXPECT_EQ(array[0], 0);  // holds nothing yet
  array[0] = 5;
  ASSERT_TRUE(array.Allocate(3));
  array[-1] = 7;
  array[4] = 9;
  EXPECT_EQ(array[-1], 0);
  EXPECT_EQ(array[4], 0);
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(array[i], 0);
}

TEST(Array, NegativeMaxOrReleaseLeavesNothing) {
  Array<std::int32_t> array;
  ASSERT_TRUE(array.Allocate(5));
  EXPECT_FALSE(array.Allocate(-2));
  EXPECT_FALSE(array.Holds());
  EXPECT_EQ(array.Max(), -1);
  ASSERT_TRUE(array.Allocate(0));
  array[0] = 3;
  array.Release();
  EXPECT_FALSE(array.Holds());
  EXPECT_EQ(array[0], 0);
}

}  // namespace
}  // namespace grumbol
