// frame_speed [FRAMES]: draws the game's worst frame (worst_frame.h) FRAMES times (default 300)
// after some unmeasured ones, and prints the median time of one in microseconds, alone on a
// line. The same program is built natively (build/bin/frame_speed) and in WebAssembly for Node
// (build-web/bin/frame_speed.js), so that tools/web-figures can set the two side by side.
//
// The text is drawn in a font made here, not the system's: the native font (SDL_ttf and
// fontconfig) does not exist in WebAssembly, nor the page's (the browser's) under Node. Both
// builds draw the same glyphs; once cached, a glyph costs only its blending, whoever made it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "benchmarks/worst_frame.h"

namespace grumbol::bench {
namespace {

// Every glyph but the blank a 7 x 9 box with a half-covered rim, about the size of the game's
// 13-pixel bold glyphs, so that text is blended both ways (full and partial coverage).
class BoxFont final : public platform::Font {
 public:
  int LineHeight() const override { return 15; }
  platform::GlyphImage Rasterise(char32_t code_point) override {
    platform::GlyphImage glyph;
    glyph.advance = code_point == U' ' ? 4 : 8;
    if (code_point == U' ') return glyph;
    glyph.top = 3;
    glyph.width = 7;
    glyph.height = 9;
    for (int y = 0; y < glyph.height; ++y) {
      for (int x = 0; x < glyph.width; ++x) {
        const bool rim = x == 0 || y == 0 || x == glyph.width - 1 || y == glyph.height - 1;
        glyph.coverage.push_back(rim ? 128 : 255);
      }
    }
    return glyph;
  }
};

int Run(int frames) {
  WorstFrame frame(std::make_unique<BoxFont>());
  // Unmeasured: the glyphs are cached and WebAssembly's optimising compiler has taken over.
  for (int i = 0; i < 100; ++i) frame.Draw();
  std::vector<double> micros;
  for (int i = 0; i < frames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    frame.Draw();
    micros.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
  }
  const auto middle = micros.begin() + static_cast<std::ptrdiff_t>(micros.size() / 2);
  std::nth_element(micros.begin(), middle, micros.end());
  std::printf("%.1f\n", *middle);
  return 0;
}

}  // namespace
}  // namespace grumbol::bench

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
  if (frames < 1) {
    std::fprintf(stderr, "usage: frame_speed [FRAMES]\n");
    return 2;
  }
  return grumbol::bench::Run(frames);
}
