#include "runtime/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace grumbol {
namespace {

TEST(IntToText, DecimalWithoutPaddingOverTheWholeRange) {
  for (std::int32_t value : {INT32_MIN, INT32_MIN + 1, INT32_MAX, 1000000})
    EXPECT_EQ(IntToText(value), std::to_string(value));
  for (std::int32_t value = -100000; value <= 100000; value += 37)
    ASSERT_EQ(IntToText(value), std::to_string(value));
}

TEST(MakeColour, AddsComponentsWithCarry) {
  EXPECT_EQ(MakeColour(2, 121, 234), 0xEA7902u);     // red in the lowest byte
  EXPECT_EQ(MakeColour(256, 0, 0), 0x000100u);       // red carries into green
  EXPECT_EQ(MakeColour(0, 256, 255), 0x1000000u);    // green carries into blue, blue beyond
  EXPECT_EQ(MakeColour(-1, 0, 65536), 0xFFFFFFFFu);  // modulo 2^32
}

// Nested expressions share the buffer; each sees only its own text, also after the buffer
// grew under it or took its own text as a piece, and gives its space back when it ends.
TEST(ScratchText, NestedAndSelfReferringTextsStayWholeAcrossGrowth) {
  ScratchText scratch;
  {
    auto score = scratch.Begin();
    score << "Punkte:" << 120;
    {
      auto nested = scratch.Begin();
      nested << "Durchgefallen:" << -3;
      EXPECT_EQ(nested.View(), "Durchgefallen:-3");
      for (int i = 0; i < 40; ++i) nested << std::string(1000, 'x');  // grows more than once
      EXPECT_EQ(nested.View(), "Durchgefallen:-3" + std::string(40000, 'x'));
    }
    score << "!";
    EXPECT_EQ(score.Copy(), "Punkte:120!");
  }
  EXPECT_EQ(scratch.Length(), 0u);
  ScratchText fresh;  // its own text as the piece that makes the buffer grow
  auto twice = fresh.Begin();
  twice << "Anna: 1" << twice.View();
  EXPECT_EQ(twice.View(), "Anna: 1Anna: 1");
}

}  // namespace
}  // namespace grumbol
