#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/fonts.h"
#include "runtime/text.h"
#include "video/drawing_target.h"
#include "video/glyph_cache.h"

namespace grumbol {

// Writes texts into a lent surface (the back buffer) in one font, the way the game's score
// line and title text are drawn: Begin on a target, set the background mode and ink, draw
// texts at pixel positions, End to give the target back.
//
// Single-threaded: one object belongs to the game's thread.
class TextDrawing {
 public:
  // The one font all text is drawn in.
  static constexpr const char* kFontPattern = "DejaVu Sans:bold";
  static constexpr int kFontPixelSize = 13;

  // Mode flag: text is drawn without a background box.
  static constexpr int kTransparentBackground = 1;

  // Construction is the start of text drawing, with no drawing open; the font is opened when
  // first needed, so that looking it up costs the program's start nothing. When no font can be
  // had, drawing still opens and texts still advance x by nothing, but nothing is drawn.
  explicit TextDrawing(platform::FontSource& fonts);
  // The same with a given font, or none (null: no text is ever drawn).
  explicit TextDrawing(std::unique_ptr<platform::Font> font);
  // An open drawing is not ended: its target may already be gone.
  ~TextDrawing() = default;
  TextDrawing(const TextDrawing&) = delete;
  TextDrawing& operator=(const TextDrawing&) = delete;

  // Ends an open drawing first (its release is called), then opens one on the target.
  // Returns 1 when a drawing is open, 0 when the target is none or has no surface. The
  // mode is 0 (opaque white box behind text) and the ink black until changed.
  int BeginTextDrawing(std::optional<DrawingTarget> target);

  // Bit 1 (kTransparentBackground): only the glyphs are drawn. Bits 2 and 4 concern lines
  // and shapes, which are not drawn here. Ignored when no drawing is open.
  void SetBackgroundMode(int flags);

  // Colour of the text from now on. Ignored when no drawing is open.
  void SetInkColour(Colour colour);

  // Draws the text (UTF-8; an invalid byte stands for U+FFFD) with the top-left corner of
  // its line box at (x, y), clipped to the surface. Returns x plus the text's width (the
  // sum of its glyphs' advances), x for an empty text, 0 when no drawing is open.
  int DrawTextAt(int x, int y, std::string_view text);

  // Gives the target back (its release is called once) and closes the drawing; nothing
  // when no drawing is open.
  void EndTextDrawing();

  // Height of the opaque box behind a text: the font's line height (0 without a font).
  int LineHeight() { return Glyphs().LineHeight(); }
  const GlyphCache& glyphs() { return Glyphs(); }

 private:
  GlyphCache& Glyphs();  // opens the font on the first call
  std::int64_t MeasureText(std::string_view text);

  platform::FontSource* fonts_ = nullptr;  // where the font comes from, until it is opened
  std::optional<GlyphCache> glyphs_;
  std::optional<DrawingTarget> target_;  // set while a drawing is open
  Colour ink_ = 0;
  int mode_flags_ = 0;
};

}  // namespace grumbol
