#include "runtime/text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace grumbol {
namespace {

TEST(IntToText, DecimalWithoutPaddingOverTheWholeRange) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(120), "120");
  EXPECT_EQ(IntToText(-5), "-5");
  EXPECT_EQ(IntToText(1000000), "1000000");
  EXPECT_EQ(IntToText(INT32_MAX), "2147483647");
  EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
  EXPECT_EQ(IntToText(INT32_MIN + 1), "-2147483647");
  for (std::int32_t value = -100000; value <= 100000; value += 37) {
    ASSERT_EQ(IntToText(value), std::to_string(value));
  }
}

TEST(TextEquals, ComparesBytesExactlyAndTreatsMissingAsEmpty) {
  EXPECT_EQ(TextEquals(nullptr, ""), 1);
  EXPECT_EQ(TextEquals("", nullptr), 1);
  EXPECT_EQ(TextEquals(static_cast<const char*>(nullptr), nullptr), 1);
  EXPECT_EQ(TextEquals("Anna", "Anna"), 1);
  EXPECT_EQ(TextEquals("Anna", "anna"), 0);
  EXPECT_EQ(TextEquals("Anna", "Anna "), 0);
  EXPECT_EQ(TextEquals("Anna ", "Anna"), 0);
  EXPECT_EQ(TextEquals(nullptr, "x"), 0);
  EXPECT_EQ(TextEquals(std::string("M\xc3\xbcller"), std::string("M\xc3\xbcller")), 1);
  EXPECT_EQ(TextEquals(std::string("M\xc3\xbcller"), std::string("Muller")), 0);
}

TEST(MakeColour, AddsComponentsWithCarry) {
  EXPECT_EQ(MakeColour(255, 0, 255), 0xFF00FFu);
  EXPECT_EQ(MakeColour(0, 0, 0), 0u);
  EXPECT_EQ(MakeColour(2, 121, 234), 0xEA7902u);
  EXPECT_EQ(MakeColour(256, 0, 0), 0x000100u);     // red carries into green
  EXPECT_EQ(MakeColour(0, 256, 255), 0x1000000u);  // green carries into blue, blue beyond
  EXPECT_EQ(MakeColour(-1, 0, 0), 0xFFFFFFFFu);    // modulo 2^32
  EXPECT_EQ(MakeColour(0, 0, 65536), 0u);
}

TEST(ScratchText, BuildsTextsInPlaceAndGivesTheSpaceBack) {
  ScratchText scratch;
  {
    auto score = scratch.Begin();
    score << "Punkte:" << 120;
    EXPECT_EQ(score.View(), "Punkte:120");
    {
      auto nested = scratch.Begin();
      nested << "Durchgefallen:" << -3;
      EXPECT_EQ(nested.View(), "Durchgefallen:-3");
    }
    EXPECT_EQ(score.View(), "Punkte:120");
    score << "!";
    EXPECT_EQ(score.Copy(), "Punkte:120!");
  }
  EXPECT_EQ(scratch.Length(), 0u);
}

TEST(ScratchText, GrowsWithHeadroomSoRepeatedTextsDoNotReallocate) {
  ScratchText scratch;
  EXPECT_EQ(scratch.Capacity(), 16u);
  {
    auto text = scratch.Begin();
    text << "0123456789AB";  // length 12 reaches capacity - 4
    EXPECT_EQ(scratch.Capacity(), 12u + 16384u);
  }
  const std::size_t capacity = scratch.Capacity();
  for (int frame = 0; frame < 1000; ++frame) {
    auto text = scratch.Begin();
    text << "Punkte:" << frame * 10;
  }
  EXPECT_EQ(scratch.Capacity(), capacity);
}

TEST(ScratchText, BuildsLongTextsWholeEvenFromItsOwnContents) {
  ScratchText scratch;
  auto text = scratch.Begin();
  const std::string piece(1000, 'x');
  for (int i = 0; i < 40; ++i) text << piece << i;
  EXPECT_GT(text.View().size(), 40000u);
  EXPECT_EQ(text.View().substr(0, 1000), piece);

  // Appending an earlier text of the buffer to itself, across a growth.
  const std::string before = text.Copy();
  text << text.View();
  EXPECT_EQ(text.View(), before + before);
}

}  // namespace
}  // namespace grumbol
