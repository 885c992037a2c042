#pragma once

#include <memory>

#include "platform/sdl_ttf/ttf_fonts.h"
#include "video/text_drawing.h"

namespace grumbol::testing {

// The game's font as the program opens it, from the system's fonts.
inline std::unique_ptr<platform::Font> GameFont() {
  platform::TtfFontSource fonts;
  return fonts.OpenFont(TextDrawing::kFontPattern, TextDrawing::kFontPixelSize);
}

}  // namespace grumbol::testing
