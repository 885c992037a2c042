// Drawing speeds, each beside a reference measured in the same run: the opaque blit against
// memcpy of the same bytes, the keyed blit against SDL's colour-keyed blit, and the game's
// worst frame and title splash against their targets (1 ms and 2 ms).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "tests/support/bmp_writer.h"
#include "tests/support/game_font.h"
#include "tests/support/headless_screen.h"
#include "video/text_drawing.h"

namespace grumbol {
namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;

// Half the pixels keyed, alternating, so no run of four is all transparent.
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

// Loads a picture into `slot` (as a 24-bit BMP, whose colours are the 32-bit screen's pixel
// values), keyed on magenta or opaque.
void Load(testing::SpriteScreen& bench, SlotId slot, const Surface& pixels, bool keyed) {
  bench.sprites.LoadSpriteData(
      slot,
      testing::Picture24(pixels.width(), pixels.height(),
                         [&](int x, int y) { return pixels.PixelAt(x, y); }),
      0);
  if (keyed) bench.sprites.SetSpriteKey(slot, kMagenta);
}

void BM_OpaqueBlit(benchmark::State& state) {
  testing::SpriteScreen bench;
  Load(bench, 1, HalfKeyedPicture(1024, 768), false);
  for (auto _ : state) {
    bench.sprites.DrawSprite(1, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 1024 * 768 * 4);
}
BENCHMARK(BM_OpaqueBlit);

void BM_Memcpy(benchmark::State& state) {
  std::vector<std::uint8_t> source(1024 * 768 * 4, 1), target(1024 * 768 * 4);
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), source.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 1024 * 768 * 4);
}
BENCHMARK(BM_Memcpy);

void BM_KeyedBlit(benchmark::State& state) {
  testing::SpriteScreen bench;
  Load(bench, 1, HalfKeyedPicture(1024, 768), true);
  for (auto _ : state) {
    bench.sprites.DrawSpriteKeyed(1, 0, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_KeyedBlit);

void BM_SdlKeyedBlit(benchmark::State& state) {
  const Surface picture = HalfKeyedPicture(1024, 768);
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormat(0, 1024, 768, 32, SDL_PIXELFORMAT_RGB888);
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormat(0, 1024, 768, 32, SDL_PIXELFORMAT_RGB888);
  for (int y = 0; y < 768; ++y) {
    std::memcpy(static_cast<std::uint8_t*>(source->pixels) + y * source->pitch, picture.Row(y),
                1024 * 4);
  }
  SDL_SetColorKey(source, SDL_TRUE, kMagenta);
  for (auto _ : state) {
    SDL_BlitSurface(source, nullptr, target, nullptr);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(source);
  SDL_FreeSurface(target);
}
BENCHMARK(BM_SdlKeyedBlit);

void DrawScoreLine(Screen& screen, TextDrawing& text) {
  text.BeginTextDrawing(screen.BackBufferTarget());
  text.SetBackgroundMode(1);
  text.SetInkColour(0xEA7902);
  text.DrawTextAt(0, 0, "Punkte:1230");
  text.SetInkColour(0x2052DF);
  text.DrawTextAt(890, 0, "Durchgefallen:10");
  text.EndTextDrawing();
}

// One frame's drawing at the game's worst: the background, the nine overlay draws of the
// hot keys 1 to 3, twenty fish, the cross-hair and the score line. Presentation excluded.
void BM_WorstCaseFrame(benchmark::State& state) {
  testing::SpriteScreen bench;
  TextDrawing text(testing::GameFont());
  Surface background(1024, 768, 4);
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 1024; ++x) background.SetPixel(x, y, static_cast<std::uint32_t>(y / 3));
  }
  Load(bench, 1, background, false);
  Load(bench, 11, HalfKeyedPicture(97, 33), true);
  Load(bench, 0, HalfKeyedPicture(33, 33), true);
  Load(bench, 51, HalfKeyedPicture(264, 180), true);
  Load(bench, 52, HalfKeyedPicture(404, 404), true);
  Load(bench, 53, HalfKeyedPicture(192, 158), true);
  Sprites& sprites = bench.sprites;
  for (auto _ : state) {
    sprites.DrawSprite(1, 0, 0);
    for (auto [x, y] : {std::pair{0, 0}, {0, 588}, {760, 588}, {760, 0}})
      sprites.DrawSpriteKeyed(51, x, y);
    sprites.DrawSpriteKeyed(52, 310, 182);
    for (auto [x, y] : {std::pair{428, 0}, {832, 305}, {428, 610}, {0, 305}})
      sprites.DrawSpriteKeyed(53, x, y);
    for (int fish = 0; fish < 20; ++fish) sprites.DrawSpriteKeyed(11, fish * 50 - 100, fish * 36);
    sprites.DrawSpriteKeyed(0, 500, 400);
    DrawScoreLine(bench.screen, text);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_WorstCaseFrame)->Unit(benchmark::kMicrosecond);

// The title splash: a black screen and 190 texts.
void BM_TitleSplash(benchmark::State& state) {
  testing::SpriteScreen bench;
  TextDrawing text(testing::GameFont());
  for (auto _ : state) {
    bench.sprites.FillScreen(0);
    text.BeginTextDrawing(bench.screen.BackBufferTarget());
    text.SetBackgroundMode(1);
    text.SetInkColour(0x40C0F0);
    for (int x = 0; x <= 800; x += 200) {
      for (int y = 0; y <= 750; y += 20) text.DrawTextAt(x, y, "Daromirs Grumbol Game 5.0");
    }
    text.EndTextDrawing();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_TitleSplash)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace grumbol
