#pragma once

#include <memory>
#include <string>

#include "platform/fonts.h"

namespace grumbol::platform {

// Text through the browser's own font engine: the game's TTF file, shipped in the page's data,
// becomes a web font (FontFace), and each glyph is drawn with fillText onto a small canvas whose
// alpha is the glyph's coverage. The browser rasterises TrueType already, so nothing of
// FreeType has to be compiled in and downloaded.
class WebFontSource final : public FontSource {
 public:
  // `font_file`: the TTF in the page's file system.
  explicit WebFontSource(std::string font_file) : font_file_(std::move(font_file)) {}

  // The one shipped font, whatever the pattern asks (the nearest there is); null when the
  // file is missing or the browser cannot read it.
  std::unique_ptr<Font> OpenFont(const std::string& pattern, int pixel_size) override;

 private:
  std::string font_file_;
  bool loaded_ = false;
};

}  // namespace grumbol::platform
