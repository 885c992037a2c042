// Speed of text drawing: the title splash, 190 copies of the game's title drawn with a
// transparent background into a 1024x768 32-bit back buffer, one frame per iteration.
#include <benchmark/benchmark.h>

#include "tests/support/game_font.h"
#include "video/text_drawing.h"

namespace grumbol {
namespace {

void BM_DrawTextStrings(benchmark::State& state) {
  TextDrawing drawing(testing::GameFont());
  if (!drawing.glyphs().HasFont()) {
    state.SkipWithError("no font found");
    return;
  }
  Surface back_buffer(1024, 768, 4);
  for (auto _ : state) {
    drawing.BeginTextDrawing(DrawingTarget{&back_buffer, PixelLayout::kX8R8G8B8, {}});
    drawing.SetBackgroundMode(TextDrawing::kTransparentBackground);
    drawing.SetInkColour(0x40C020);
    for (int x = 0; x <= 800; x += 200) {
      for (int y = 0; y <= 740; y += 20) {
        benchmark::DoNotOptimize(drawing.DrawTextAt(x, y, "Daromirs Grumbol Game 5.0"));
      }
    }
    drawing.EndTextDrawing();
    benchmark::DoNotOptimize(back_buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 190);
}
BENCHMARK(BM_DrawTextStrings)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace grumbol
