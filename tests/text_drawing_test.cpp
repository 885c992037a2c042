#include "video/text_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>
#include <tuple>

#include "tests/support/game_font.h"
#include "video/blit.h"

namespace grumbol {
namespace {

struct Canvas {
  Canvas(int width, int height, std::uint32_t fill = 0,
         PixelLayout layout_ = PixelLayout::kX8R8G8B8, int bytes_per_pixel = 4)
      : surface(width, height, bytes_per_pixel), layout(layout_) {
    FillPixels(surface, fill);
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

// The game's miss count at its place on the 1024-pixel screen: first with coloured ink and
// no background, then in a new drawing, which starts opaque (a white box) with black ink.
TEST(TextDrawing, DrawsAtXYWithExactInkInEveryLayoutAndABoxOnlyWhenOpaque) {
  constexpr std::uint32_t kFill = 0x3456;  // in no layout white, black or the ink
  // How red 2, green 121, blue 234 and white are stored.
  for (const auto& [layout, bytes, ink, white] :
       {std::tuple{PixelLayout::kX8R8G8B8, 4, 0x0279EAu, 0xFFFFFFu},
        {PixelLayout::kX8B8G8R8, 4, 0xEA7902u, 0xFFFFFFu},
        {PixelLayout::kRgb24RedHigh, 3, 0x0279EAu, 0xFFFFFFu},
        {PixelLayout::kBgr24RedLow, 3, 0xEA7902u, 0xFFFFFFu},
        {PixelLayout::kRgb565, 2, (30u << 5) | 29u, 0xFFFFu},
        {PixelLayout::kRgb555, 2, (15u << 5) | 29u, 0x7FFFu}}) {
    SCOPED_TRACE(static_cast<int>(layout));
    Canvas canvas(1024, 50, kFill, layout, bytes);
    TextDrawing drawing(testing::GameFont());  // never ended: gone before the canvas
    const int line = drawing.LineHeight();
    ASSERT_EQ(drawing.BeginTextDrawing(canvas.Target()), 1);
    drawing.SetBackgroundMode(TextDrawing::kTransparentBackground);
    drawing.SetInkColour(0xEA7902);
    const int end = drawing.DrawTextAt(890, 2, "Durchgefallen:10");
    drawing.BeginTextDrawing(canvas.Target());
    EXPECT_EQ(canvas.releases, 1) << "a new drawing ends the one before";
    EXPECT_EQ(drawing.DrawTextAt(890, 30, "Durchgefallen:10"), end);
    EXPECT_EQ(drawing.DrawTextAt(-7, 40, ""), -7);  // an empty text has no box

    // Nothing outside the two boxes; the opaque box is all white or black ink.
    const int box = (end - 890) * line, untouched = canvas.Count(kFill, 890, 2, end, 2 + line);
    EXPECT_EQ(canvas.Count(kFill), 1024 * 50 - 2 * box + untouched);
    EXPECT_GT(untouched, box / 3);
    EXPECT_GT(canvas.Count(ink, 890, 2, end, 2 + line), 30);
    // The ink reaches both ends of the returned width.
    EXPECT_LT(canvas.Count(kFill, 890, 2, 892, 2 + line), 2 * line);
    EXPECT_LT(canvas.Count(kFill, end - 2, 2, end, 2 + line), 2 * line);
    EXPECT_GT(canvas.Count(white, 890, 30, end, 30 + line), box / 2);
    EXPECT_GT(canvas.Count(0, 890, 30, end, 30 + line), 30);
  }
}

// What the screen lends is nothing while the game is in the background; a font may be missing.
TEST(TextDrawing, WithoutATargetOrAFontNothingIsDrawn) {
  Canvas canvas(60, 20, 0x445566);
  TextDrawing drawing(testing::GameFont());
  EXPECT_EQ(drawing.BeginTextDrawing(std::nullopt), 0);
  EXPECT_EQ(drawing.DrawTextAt(5, 5, "Punkte"), 0);
  EXPECT_EQ(platform::TtfFontSource::OpenFontFile({"/nonexistent.ttf", 0}, 13), nullptr);
  TextDrawing without_font(nullptr);
  EXPECT_EQ(without_font.BeginTextDrawing(canvas.Target()), 1);
  EXPECT_EQ(without_font.DrawTextAt(5, 5, "Punkte:120"), 5);
  EXPECT_EQ(canvas.Count(0x445566), 1200);
}

}  // namespace
}  // namespace grumbol
