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
  const char* const kMissing = nullptr;
  EXPECT_EQ(TextEquals(kMissing, "") + TextEquals("", kMissing) + TextEquals(kMissing, kMissing),
            3);
  EXPECT_EQ(TextEquals("Anna", "Anna"), 1);
  for (const char* other : {"anna", "Anna ", "Ann", "x", kMissing})
    EXPECT_EQ(TextEquals("Anna", other) + TextEquals(other, "Anna"), 0) << other;
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

// The texts of a frame, up to a kilobyte, cost no allocation once the buffer has grown.
TEST(ScratchText, FrameTextsDoNotReallocateOnceGrown) {
  ScratchText scratch;
  scratch.Begin() << "Punkte: 120000";  // the first text makes it grow
  const std::size_t capacity = scratch.Capacity();
  for (int frame = 0; frame < 1000; ++frame) scratch.Begin() << std::string(frame, 'x') << frame;
  EXPECT_EQ(scratch.Capacity(), capacity);
}

}  // namespace
}  // namespace grumbol
