#include "benchmarks/worst_frame.h"

#include <utility>

#include "tests/support/bmp_writer.h"

namespace grumbol::bench {

Surface HalfKeyedPicture(int width, int height) {
  Surface picture(width, height, 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      picture.SetPixel(x, y,
                       (x + y) % 2 == 0 ? kMagenta : 0x00336699u + static_cast<std::uint32_t>(x));
    }
  }
  return picture;
}

void Load(testing::SpriteScreen& bench, SlotId slot, const Surface& pixels, bool keyed) {
  bench.sprites.LoadSpriteData(
      slot,
      testing::Picture24(pixels.width(), pixels.height(),
                         [&](int x, int y) { return pixels.PixelAt(x, y); }),
      0);
  if (keyed) bench.sprites.SetSpriteKey(slot, kMagenta);
}

WorstFrame::WorstFrame(std::unique_ptr<platform::Font> font) : text_(std::move(font)) {
  Surface background(1024, 768, 4);
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) background.SetPixel(x, y, static_cast<std::uint32_t>(y / 3));
  }
  Load(bench_, 1, background, false);
  Load(bench_, 11, HalfKeyedPicture(97, 33), true);
  Load(bench_, 0, HalfKeyedPicture(33, 33), true);
  Load(bench_, 51, HalfKeyedPicture(264, 180), true);
  Load(bench_, 52, HalfKeyedPicture(404, 404), true);
  Load(bench_, 53, HalfKeyedPicture(192, 158), true);
}

void WorstFrame::Draw() {
  Sprites& sprites = bench_.sprites;
  sprites.DrawSprite(1, 0, 0);
  for (auto [x, y] : {std::pair{0, 0}, {0, 588}, {760, 588}, {760, 0}})
    sprites.DrawSpriteKeyed(51, x, y);
  sprites.DrawSpriteKeyed(52, 310, 182);
  for (auto [x, y] : {std::pair{428, 0}, {832, 305}, {428, 610}, {0, 305}})
    sprites.DrawSpriteKeyed(53, x, y);
  for (int fish = 0; fish < 20; ++fish) sprites.DrawSpriteKeyed(11, fish * 50 - 100, fish * 36);
  sprites.DrawSpriteKeyed(0, 500, 400);
  text_.BeginTextDrawing(bench_.screen.BackBufferTarget());
  text_.SetBackgroundMode(1);
  text_.SetInkColour(0xEA7902);
  text_.DrawTextAt(0, 0, "Punkte:1230");
  text_.SetInkColour(0x2052DF);
  text_.DrawTextAt(890, 0, "Durchgefallen:10");
  text_.EndTextDrawing();
}

}  // namespace grumbol::bench
