#include "video/text_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace grumbol {
namespace {

struct Canvas {
  Canvas(int width, int height, PixelLayout layout_, int bytes_per_pixel, std::uint32_t fill = 0)
      : surface(width, height, bytes_per_pixel), layout(layout_) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) surface.SetPixel(x, y, fill);
  }
  DrawingTarget Target() {
    return {&surface, layout, [this] { ++releases; }};
  }
  // Pixels holding `value` in [x0, x1) x [y0, y1), by default in the whole surface.
  int Count(std::uint32_t value, int x0 = 0, int y0 = 0, int x1 = INT_MAX, int y1 = INT_MAX) const {
    int count = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, surface.height()); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, surface.width()); ++x)
        count += surface.PixelAt(x, y) == value ? 1 : 0;
    return count;
  }
  Surface surface;
  PixelLayout layout;
  int releases = 0;
};

int WidthOf(TextDrawing& drawing, std::string_view text) {
  Canvas canvas(8, 8, PixelLayout::kX8R8G8B8, 4);
  drawing.BeginTextDrawing(canvas.Target());
  const int end = drawing.DrawTextAt(0, 0, text);
  drawing.EndTextDrawing();
  return end;
}

TEST(TextDrawing, OpaqueModeFillsTheLineBoxAtXYAndReturnsXPlusWidth) {
  TextDrawing drawing;
  const int line = drawing.LineHeight();
  EXPECT_NEAR(line, 16, 1);
  Canvas canvas(300, 60, PixelLayout::kX8R8G8B8, 4, 0x123456);
  ASSERT_EQ(drawing.BeginTextDrawing(canvas.Target()), 1);
  const int end = drawing.DrawTextAt(10, 20, "Punkte:120");
  EXPECT_NEAR(end - 10, 84, 1);
  // Exactly the box [10, end) x [20, 20 + line) is covered, without holes.
  EXPECT_EQ(canvas.Count(0x123456, 10, 20, end, 20 + line), 0);
  EXPECT_EQ(canvas.Count(0x123456), 300 * 60 - (end - 10) * line);
  EXPECT_EQ(drawing.DrawTextAt(-7, 40, ""), -7);  // an empty text has no box
  EXPECT_EQ(canvas.Count(0x123456), 300 * 60 - (end - 10) * line);
}

TEST(TextDrawing, TransparentModeTouchesOnlyGlyphPixelsInsideTheLineBox) {
  TextDrawing drawing;
  const int line = drawing.LineHeight();
  Canvas canvas(1024, 40, PixelLayout::kX8R8G8B8, 4);
  drawing.BeginTextDrawing(canvas.Target());
  drawing.SetBackgroundMode(1);
  drawing.SetInkColour(0xFFFFFF);
  const int end = drawing.DrawTextAt(890, 10, "Durchgefallen:10");
  EXPECT_LE(end, 1024);
  const int untouched_inside = canvas.Count(0, 890, 10, end, 10 + line);
  EXPECT_EQ(canvas.Count(0) - untouched_inside, 1024 * 40 - (end - 890) * line);
  EXPECT_GT(untouched_inside, (end - 890) * line / 3);  // no box behind the glyphs
  // The ink reaches both ends of the returned width.
  EXPECT_LT(canvas.Count(0, 890, 10, 892, 10 + line), 2 * line);
  EXPECT_LT(canvas.Count(0, end - 2, 10, end, 10 + line), 2 * line);
}

struct LayoutCase {
  PixelLayout layout;
  int bytes_per_pixel;
  std::uint32_t ink_ea7902;  // how red 2, green 121, blue 234 is stored
  std::uint32_t white;
};

class TextDrawingLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(TextDrawingLayout, FullyCoveredPixelsHoldTheInkExactlyAndInkResetsToBlack) {
  const LayoutCase& param = GetParam();
  TextDrawing drawing;
  Canvas canvas(120, 50, param.layout, param.bytes_per_pixel);
  drawing.BeginTextDrawing(canvas.Target());
  drawing.SetBackgroundMode(1);
  drawing.SetInkColour(0xEA7902);
  const int end = drawing.DrawTextAt(2, 2, "Punkte:120");
  const int line = drawing.LineHeight();
  const int box = (end - 2) * line;
  EXPECT_GT(canvas.Count(param.ink_ea7902, 2, 2, end, 2 + line), 30);
  // Nothing outside the line box is touched.
  EXPECT_EQ(canvas.Count(0) - canvas.Count(0, 2, 2, end, 2 + line), 120 * 50 - box);

  // A new drawing starts opaque with black ink: a white box with black glyphs.
  drawing.BeginTextDrawing(canvas.Target());
  EXPECT_EQ(drawing.DrawTextAt(2, 30, "Punkte:120"), end);
  EXPECT_GT(canvas.Count(param.white, 2, 30, end, 30 + line), box / 2);
  EXPECT_GT(canvas.Count(0, 2, 30, end, 30 + line), 30);
  EXPECT_EQ(canvas.Count(param.ink_ea7902, 0, 30), 0);
}

INSTANTIATE_TEST_SUITE_P(
    AllLayouts, TextDrawingLayout,
    testing::Values(LayoutCase{PixelLayout::kX8R8G8B8, 4, 0x0279EA, 0xFFFFFF},
                    LayoutCase{PixelLayout::kX8B8G8R8, 4, 0xEA7902, 0xFFFFFF},
                    LayoutCase{PixelLayout::kRgb24RedHigh, 3, 0x0279EA, 0xFFFFFF},
                    LayoutCase{PixelLayout::kBgr24RedLow, 3, 0xEA7902, 0xFFFFFF},
                    LayoutCase{PixelLayout::kRgb565, 2, (30u << 5) | 29u, 0xFFFF},
                    LayoutCase{PixelLayout::kRgb555, 2, (15u << 5) | 29u, 0x7FFF}));

TEST(TextDrawing, BackgroundModeBitsTwoAndFourChangeNothing) {
  TextDrawing drawing;
  auto draw = [&](int flags) {
    Canvas canvas(100, 20, PixelLayout::kX8R8G8B8, 4, 0x336699);
    drawing.BeginTextDrawing(canvas.Target());
    drawing.SetBackgroundMode(flags);
    drawing.DrawTextAt(1, 1, "Wg 5.0");
    drawing.EndTextDrawing();
    return std::vector<std::uint8_t>(canvas.surface.data(),
                                     canvas.surface.data() + canvas.surface.size_bytes());
  };
  EXPECT_EQ(draw(0), draw(6));
  EXPECT_EQ(draw(1), draw(7));
  EXPECT_NE(draw(0), draw(1));
}

TEST(TextDrawing, DoesNothingWithoutAnOpenDrawingAndReleasesOnce) {
  TextDrawing drawing;
  Canvas first(60, 20, PixelLayout::kX8R8G8B8, 4, 0x445566);
  Canvas second(60, 20, PixelLayout::kX8R8G8B8, 4, 0x445566);
  drawing.SetBackgroundMode(1);
  drawing.EndTextDrawing();
  EXPECT_EQ(drawing.DrawTextAt(5, 5, "Punkte"), 0);
  EXPECT_EQ(drawing.BeginTextDrawing(DrawingTarget{nullptr, PixelLayout::kX8R8G8B8, {}}), 0);

  EXPECT_EQ(drawing.BeginTextDrawing(first.Target()), 1);
  EXPECT_EQ(drawing.BeginTextDrawing(second.Target()), 1);  // ends the first drawing
  EXPECT_EQ(drawing.BeginTextDrawing(std::nullopt), 0);     // ends the second drawing
  EXPECT_EQ(drawing.DrawTextAt(5, 5, "Punkte"), 0);
  drawing.BeginTextDrawing(first.Target());
  drawing.EndTextDrawing();
  drawing.EndTextDrawing();
  EXPECT_EQ(drawing.DrawTextAt(5, 5, "Punkte"), 0);
  EXPECT_EQ(first.releases, 2);
  EXPECT_EQ(second.releases, 1);
  EXPECT_EQ(first.Count(0x445566) + second.Count(0x445566), 2400);
}

TEST(TextDrawing, ClipsAtEveryEdgeExactlyLikeTheUnclippedText) {
  TextDrawing drawing;
  constexpr int kShift = 200;
  const std::pair<int, int> positions[] = {{-30, -5}, {40, 6},  {-6, 3}, {20, -10},
                                           {-500, 0}, {0, 500}, {70, 2}, {10, -16}};
  for (const int mode : {0, 1}) {
    for (const auto& [x, y] : positions) {
      Canvas small(60, 12, PixelLayout::kRgb24RedHigh, 3, 0x445566);
      Canvas large(2 * kShift + 60, 2 * kShift + 12, PixelLayout::kRgb24RedHigh, 3, 0x445566);
      int ends[2] = {};
      for (const int shift : {0, kShift}) {
        drawing.BeginTextDrawing((shift == 0 ? small : large).Target());
        drawing.SetBackgroundMode(mode);
        ends[shift == 0 ? 0 : 1] = drawing.DrawTextAt(x + shift, y + shift, "Wg|Punkte:1") - shift;
        drawing.EndTextDrawing();
      }
      EXPECT_EQ(ends[0], ends[1]);
      int differing = 0;
      for (int row = 0; row < 12; ++row)
        for (int column = 0; column < 60; ++column)
          differing += small.surface.PixelAt(column, row) !=
                       large.surface.PixelAt(column + kShift, row + kShift);
      EXPECT_EQ(differing, 0) << "at " << x << "," << y << " mode " << mode;
    }
  }
  const int w_width = WidthOf(drawing, "W");
  Canvas tiny(3, 2, PixelLayout::kX8R8G8B8, 4);
  drawing.BeginTextDrawing(tiny.Target());
  for (const int x : {INT_MIN, INT_MAX - 5, -1})
    for (const int y : {INT_MIN, INT_MAX, -1}) drawing.DrawTextAt(x, y, "Game 5.0");
  EXPECT_EQ(drawing.DrawTextAt(INT_MAX - 5, 0, "W"),
            static_cast<int>(std::int64_t{INT_MAX} - 5 + w_width));  // wraps
}

TEST(TextDrawing, RasterisesEachGlyphOnceAndDecodesUtf8) {
  TextDrawing drawing;
  const std::string_view title = "Daromirs Grumbol Game 5.0";
  const int width = WidthOf(drawing, title);
  const std::size_t glyphs = drawing.glyphs().GlyphCount();
  EXPECT_EQ(glyphs, std::set<char>(title.begin(), title.end()).size());
  EXPECT_EQ(WidthOf(drawing, title), width);
  EXPECT_EQ(drawing.glyphs().GlyphCount(), glyphs);

  const int replacement = WidthOf(drawing, "\xEF\xBF\xBD");  // U+FFFD
  EXPECT_GT(replacement, 0);
  EXPECT_EQ(WidthOf(drawing, "\xFF"), replacement);
  EXPECT_EQ(WidthOf(drawing, "A\xC3"), WidthOf(drawing, "A") + replacement);  // cut short
  EXPECT_EQ(WidthOf(drawing, "\xC0\xAF"), 2 * replacement);                   // overlong
  EXPECT_EQ(WidthOf(drawing, "\xED\xA0\x80"), 3 * replacement);               // surrogate
  EXPECT_GT(WidthOf(drawing, "\xF0\x9F\x90\x9F"), 0);    // a fish this font lacks
  EXPECT_EQ(drawing.glyphs().GlyphCount(), glyphs + 3);  // A, U+FFFD, the fish
}

TEST(TextDrawing, WithoutAFontDrawingOpensButNothingIsDrawn) {
  for (const std::optional<FontFile>& font :
       {std::optional<FontFile>{}, std::optional<FontFile>{FontFile{"/nonexistent.ttf", 0}}}) {
    TextDrawing drawing(font);
    EXPECT_FALSE(drawing.glyphs().HasFont());
    Canvas canvas(40, 20, PixelLayout::kX8R8G8B8, 4, 0x445566);
    EXPECT_EQ(drawing.BeginTextDrawing(canvas.Target()), 1);
    EXPECT_EQ(drawing.DrawTextAt(5, 5, "Punkte:120"), 5);
    drawing.EndTextDrawing();
    EXPECT_EQ(canvas.releases, 1);
    EXPECT_EQ(canvas.Count(0x445566), 800);
  }
}

}  // namespace
}  // namespace grumbol
