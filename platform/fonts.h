#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace grumbol::platform {

// Where a glyph's bitmap lies, trimmed to its ink.
struct GlyphMetrics {
  int advance = 0;  // how far the pen moves, in pixels
  int left = 0;     // first column relative to the pen
  int top = 0;      // first row relative to the top of the line box
  int width = 0;    // 0 x 0 for blanks
  int height = 0;
};

// One glyph as 8-bit coverage (0 = untouched, 255 = fully covered).
struct GlyphImage : GlyphMetrics {
  std::vector<std::uint8_t> coverage;  // width * height bytes, rows top first
};

// A font opened at one pixel size.
class Font {
 public:
  virtual ~Font() = default;
  virtual int LineHeight() const = 0;  // ascent + descent
  // The glyph of a code point; one the font lacks gets its missing-glyph box, and one that
  // cannot be drawn is blank with no advance.
  virtual GlyphImage Rasterise(char32_t code_point) = 0;
};

// The system's fonts.
class FontSource {
 public:
  virtual ~FontSource() = default;
  // The font the system picks for a pattern such as "DejaVu Sans:bold" (the nearest it has,
  // not always the family asked for), with a line of `pixel_size` pixels; null when there is
  // none or it cannot be opened.
  virtual std::unique_ptr<Font> OpenFont(const std::string& pattern, int pixel_size) = 0;
};

}  // namespace grumbol::platform
