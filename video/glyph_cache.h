#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace grumbol {

// A font file on disk and the face inside it (collections hold several).
struct FontFile {
  std::string path;
  int face_index = 0;
};

// The file fontconfig picks for a pattern such as "DejaVu Sans:bold"; none when fontconfig
// cannot load its configuration or knows no font at all. Fontconfig falls back to the
// nearest font it has, so the result need not be the family asked for.
std::optional<FontFile> FindFontFile(const char* pattern);

// One font's glyphs as 8-bit coverage bitmaps (0 = untouched, 255 = fully covered). Each
// glyph is rasterised by SDL_ttf on first use and kept, so text drawn every frame costs
// only lookups and blending.
class GlyphCache {
 public:
  struct Glyph {
    int advance = 0;  // how far the pen moves, in pixels
    int left = 0;     // bitmap's first column relative to the pen
    int top = 0;      // bitmap's first row relative to the top of the line box
    int width = 0;    // bitmap size; 0 x 0 for blanks (the bitmap is trimmed to its ink)
    int height = 0;
    std::size_t offset = 0;  // where the bitmap's rows start in the coverage store
  };

  // Opens the font with a pixel height of `pixel_size` (SDL_ttf's points at 72 dpi). With
  // no file, or one SDL_ttf cannot open, the cache has no font: HasFont() is false and
  // every glyph is blank with no advance.
  GlyphCache(const std::optional<FontFile>& file, int pixel_size);
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

  // How many glyphs have been rasterised so far.
  std::size_t GlyphCount() const { return glyphs_.size(); }

 private:
  class Font;  // the SDL_ttf font and the library session it needs

  const Glyph& FindSlow(char32_t code_point);
  Glyph Rasterise(char32_t code_point);

  std::unique_ptr<Font> font_;
  int line_height_ = 0;
  std::vector<Glyph> glyphs_;
  std::vector<std::uint8_t> coverage_;
  std::array<std::int32_t, 128> ascii_;  // index into glyphs_, -1 = not yet rasterised
  std::unordered_map<char32_t, std::int32_t> others_;
};

}  // namespace grumbol
