// Loading a 1024x768 24-bit picture into a 32-bit sprite, beside SDL's own BMP reader followed
// by its conversion to X8R8G8B8 on the same bytes.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "video/bmp_loader.h"

namespace grumbol {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

void PutLe(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A 24-bit BMP with a colour gradient.
const std::vector<std::uint8_t>& Picture24() {
  static const std::vector<std::uint8_t> file = [] {
    const std::size_t row = kWidth * 3;  // no padding at this width
    std::vector<std::uint8_t> bmp(54 + row * kHeight, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    PutLe(bmp, 2, static_cast<std::uint32_t>(bmp.size()), 4);
    PutLe(bmp, 10, 54, 4);
    PutLe(bmp, 14, 40, 4);
    PutLe(bmp, 18, kWidth, 4);
    PutLe(bmp, 22, kHeight, 4);
    PutLe(bmp, 26, 1, 2);
    PutLe(bmp, 28, 24, 2);
    for (std::size_t y = 0; y < kHeight; ++y) {
      for (std::size_t x = 0; x < kWidth; ++x) {
        std::uint8_t* p = &bmp[54 + y * row + x * 3];
        p[0] = static_cast<std::uint8_t>(x);
        p[1] = static_cast<std::uint8_t>(y);
        p[2] = static_cast<std::uint8_t>(x + y);
      }
    }
    return bmp;
  }();
  return file;
}

void BM_LoadBmp(benchmark::State& state) {
  const auto& file = Picture24();
  for (auto _ : state) {
    auto picture = DecodeSpritePicture(file, 32, PixelLayout::kX8R8G8B8, 0);
    if (!picture) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(picture->pixels.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_LoadBmp);

void BM_SdlLoadBmp(benchmark::State& state) {
  const auto& file = Picture24();
  for (auto _ : state) {
    SDL_Surface* loaded =
        SDL_LoadBMP_RW(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())), 1);
    if (loaded == nullptr) {
      state.SkipWithError("SDL_LoadBMP_RW failed");
      break;
    }
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB888, 0);
    benchmark::DoNotOptimize(converted);
    SDL_FreeSurface(converted);
    SDL_FreeSurface(loaded);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size()));
}
BENCHMARK(BM_SdlLoadBmp);

}  // namespace
}  // namespace grumbol
