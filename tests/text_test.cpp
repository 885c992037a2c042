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

TEST(TextEquals, ComparesBytesExactlyAndTreatsMissingAsEmpty) {
  const char* const kNull = nullptr;
  const struct {
    const char *a, *b;
    int equal;
  } cases[] = {{kNull, "", 1},       {"", kNull, 1},      {kNull, kNull, 1},
               {"Anna", "Anna", 1},  {"Anna", "anna", 0}, {"Anna", "Anna ", 0},
               {"Anna ", "Anna", 0}, {kNull, "x", 0},     {"M\xc3\xbcller", "Muller", 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(TextEquals(c.a, c.b), c.equal) << (c.a ? c.a : "null") << "|" << (c.b ? c.b : "null");
    if (c.a && c.b) {
      EXPECT_EQ(TextEquals(std::string(c.a), std::string(c.b)), c.equal);
    }
  }
}

TEST(MakeColour, AddsComponentsWithCarry) {
  EXPECT_EQ(MakeColour(2, 121, 234), 0xEA7902u);
  EXPECT_EQ(MakeColour(256, 0, 0), 0x000100u);     // red carries into green
  EXPECT_EQ(MakeColour(0, 256, 255), 0x1000000u);  // green carries into blue, blue beyond
  EXPECT_EQ(MakeColour(-1, 0, 0), 0xFFFFFFFFu);    // modulo 2^32
  EXPECT_EQ(MakeColour(0, 0, 65536), 0u);
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
      for (int i = 0; i < 40; ++i) nested << std::string(1000, 'x');
      nested << nested.View();
      EXPECT_EQ(nested.View().size(), 2u * (16 + 40000));
    }
    score << "!";
    EXPECT_EQ(score.Copy(), "Punkte:120!");
  }
  EXPECT_EQ(scratch.Length(), 0u);
}

TEST(ScratchText, RepeatedTextsDoNotReallocateOnceGrown) {
  ScratchText scratch;
  scratch.Begin() << "0123456789AB";
  const std::size_t capacity = scratch.Capacity();
  for (int frame = 0; frame < 1000; ++frame) scratch.Begin() << "Punkte:" << frame * 1000;
  EXPECT_EQ(scratch.Capacity(), capacity);
}

}  // namespace
}  // namespace grumbol
