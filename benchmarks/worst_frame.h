#pragma once

// The game's worst frame to draw, shared by BM_WorstCaseFrame and frame_speed (which times the
// same drawing natively and in WebAssembly), and the test pictures the drawing benchmarks load.

#include <cstdint>
#include <memory>

#include "platform/fonts.h"
#include "tests/support/headless_screen.h"
#include "video/text_drawing.h"

namespace grumbol::bench {

// The colour the pictures are keyed on.
inline constexpr std::uint32_t kMagenta = 0xFF00FF;

// Half the pixels keyed on magenta, alternating, so no run of four is all transparent.
Surface HalfKeyedPicture(int width, int height);

// Loads a picture into `slot` (as a 24-bit BMP, whose colours are the 32-bit screen's pixel
// values), keyed on magenta or opaque.
void Load(testing::SpriteScreen& bench, SlotId slot, const Surface& pixels, bool keyed);

// The screen at the game's worst: the background, the nine overlay draws of the hot keys 1 to
// 3, twenty fish, the cross-hair and the score line in `font`.
class WorstFrame {
 public:
  explicit WorstFrame(std::unique_ptr<platform::Font> font);
  // One frame's drawing into the back buffer; presentation excluded.
  void Draw();

 private:
  testing::SpriteScreen bench_;
  TextDrawing text_;
};

}  // namespace grumbol::bench
