#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/fonts.h"

namespace grumbol {

// One font's glyphs as 8-bit coverage bitmaps (0 = untouched, 255 = fully covered). Each
// glyph is rasterised by the font on first use and kept, so text drawn every frame costs
// only lookups and blending.
class GlyphCache {
 public:
  struct Glyph : platform::GlyphMetrics {
    std::size_t offset = 0;  // where the bitmap's rows start in the coverage store
  };

  // Without a font (null) HasFont() is false and every glyph is blank with no advance.
  explicit GlyphCache(std::unique_ptr<platform::Font> font);
  ~GlyphCache();
  GlyphCache(const GlyphCache&) = delete;
  GlyphCache& operator=(const GlyphCache&) = delete;

  bool HasFont() const { return font_ != nullptr; }
  int LineHeight() const { return line_height_; }  // ascent + descent; 0 without a font

  // The glyph of a code point; a code point the font lacks gets the font's missing-glyph
  // box. The reference stays valid until the next Find of a glyph not yet cached.
  const Glyph& Find(char32_t code_point) {
    if (code_point < ascii_.size()) {
      const std::int32_t index = ascii_[code_point];
      if (index >= 0) return glyphs_[static_cast<std::size_t>(index)];
    }
    return FindSlow(code_point);
  }

  // Row-major coverage of a glyph, width bytes per row; valid like the glyph reference.
  const std::uint8_t* Coverage(const Glyph& glyph) const { return coverage_.data() + glyph.offset; }

 private:
  const Glyph& FindSlow(char32_t code_point);
  Glyph Rasterise(char32_t code_point);

  std::unique_ptr<platform::Font> font_;
  int line_height_ = 0;
  std::vector<Glyph> glyphs_;
  std::vector<std::uint8_t> coverage_;
  std::array<std::int32_t, 128> ascii_;  // index into glyphs_, -1 = not yet rasterised
  std::unordered_map<char32_t, std::int32_t> others_;
};

}  // namespace grumbol
