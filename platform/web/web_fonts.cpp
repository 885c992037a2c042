#include "platform/web/web_fonts.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <vector>

#include "platform/log.h"

namespace grumbol::platform {

namespace {

// Makes the TTF at `path` a web font; 0 when the browser cannot read it.
// clang-format off
EM_ASYNC_JS(int, LoadFontFile, (const char* path), {
  try {
    const bytes = FS.readFile(UTF8ToString(path));
    const face = new FontFace('grumbol-text', bytes);  // the family the glyphs are drawn in
    await face.load();
    document.fonts.add(face);
    return 1;
  } catch (error) {
    return 0;
  }
});
// clang-format on

// The line's ascent and descent at `size` pixels, into metrics[0] and [1].
// clang-format off
EM_JS(void, MeasureLine, (int size, int* metrics), {
  const context = document.createElement('canvas').getContext('2d');
  context.font = size + 'px grumbol-text';
  const measured = context.measureText('Hg');
  HEAP32[metrics >> 2] = Math.round(measured.fontBoundingBoxAscent);
  HEAP32[(metrics >> 2) + 1] = Math.round(measured.fontBoundingBoxDescent);
});
// clang-format on

// Draws one glyph in white on a transparent canvas of `side` x `side` pixels with the pen at
// (side / 3, side / 3 + ascent), and copies the canvas's alpha into `coverage` (side * side
// bytes). Returns the advance in whole pixels.
// clang-format off
EM_JS(int, DrawGlyph, (int size, int code_point, int ascent, int side, unsigned char* coverage), {
  const canvas = Module.glyphCanvas || (Module.glyphCanvas = document.createElement('canvas'));
  if (canvas.width !== side) {
    canvas.width = side;
    canvas.height = side;
  }
  const context = canvas.getContext('2d', {willReadFrequently : true});
  context.clearRect(0, 0, side, side);
  context.font = size + 'px grumbol-text';
  context.textBaseline = 'alphabetic';
  context.fillStyle = '#fff';
  const text = String.fromCodePoint(code_point);
  const pen = Math.floor(side / 3);
  context.fillText(text, pen, pen + ascent);
  const pixels = context.getImageData(0, 0, side, side).data;
  for (let i = 0; i < side * side; i++) HEAPU8[coverage + i] = pixels[i * 4 + 3];
  return Math.round(context.measureText(text).width);
});
// clang-format on

class WebFont final : public Font {
 public:
  explicit WebFont(int pixel_size) : size_(pixel_size), side_(pixel_size * 3) {
    std::array<int, 2> line{};
    MeasureLine(size_, line.data());
    ascent_ = line[0];
    line_height_ = line[0] + line[1];
    canvas_.resize(static_cast<std::size_t>(side_) * static_cast<std::size_t>(side_));
  }

  int LineHeight() const override { return line_height_; }

  GlyphImage Rasterise(char32_t code_point) override {
    GlyphImage glyph;
    glyph.advance =
        std::max(DrawGlyph(size_, static_cast<int>(code_point), ascent_, side_, canvas_.data()), 0);
    // Trimmed to the ink.
    int left = side_;
    int right = -1;
    int top = side_;
    int bottom = -1;
    for (int y = 0; y < side_; ++y) {
      for (int x = 0; x < side_; ++x) {
        if (canvas_[Index(x, y)] == 0) continue;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    if (right < 0) return glyph;  // a blank
    const int pen = side_ / 3;
    glyph.left = left - pen;
    glyph.top = top - pen;
    glyph.width = right - left + 1;
    glyph.height = bottom - top + 1;
    glyph.coverage.reserve(static_cast<std::size_t>(glyph.width) * glyph.height);
    for (int y = top; y <= bottom; ++y) {
      for (int x = left; x <= right; ++x) glyph.coverage.push_back(canvas_[Index(x, y)]);
    }
    return glyph;
  }

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(side_) +
           static_cast<std::size_t>(x);
  }

  int size_;
  int side_;  // the drawing canvas's side: room for a glyph that reaches out of its box
  int ascent_ = 0;
  int line_height_ = 0;
  std::vector<std::uint8_t> canvas_;
};

}  // namespace

std::unique_ptr<Font> WebFontSource::OpenFont(const std::string& pattern, int pixel_size) {
  if (pixel_size <= 0) return nullptr;
  if (!loaded_) {
    if (LoadFontFile(font_file_.c_str()) == 0) {
      LogDetail("text: the browser cannot read the font file " + font_file_);
      return nullptr;
    }
    loaded_ = true;
  }
  LogDetail("text: '" + pattern + "' drawn with the font file " + font_file_ + " at " +
            std::to_string(pixel_size) + " px");
  return std::make_unique<WebFont>(pixel_size);
}

}  // namespace grumbol::platform
