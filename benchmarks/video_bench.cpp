// Drawing speeds, each beside a reference measured in the same run: the opaque blit against
// memcpy of the same bytes, the keyed blit against SDL's colour-keyed blit, and the game's
// worst frame and title splash against their targets (1 ms and 2 ms).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "benchmarks/worst_frame.h"
#include "tests/support/game_font.h"
#include "tests/support/headless_screen.h"
#include "video/text_drawing.h"

namespace grumbol {
namespace {

using bench::HalfKeyedPicture;
using bench::kMagenta;
using bench::Load;

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

// One frame's drawing at the game's worst (see worst_frame.h).
void BM_WorstCaseFrame(benchmark::State& state) {
  bench::WorstFrame frame(testing::GameFont());
  for (auto _ : state) {
    frame.Draw();
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
