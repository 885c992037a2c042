#include "platform/sdl_ttf/ttf_fonts.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <optional>

#include "platform/log.h"
#include "platform/unique_handle.h"

namespace grumbol::platform {
namespace {

using FcPatternPtr = UniqueHandle<FcPattern, FcPatternDestroy>;

// One use of SDL_ttf. TTF_Init counts its callers and TTF_Quit only shuts FreeType down
// when the last one leaves, so every session is one Init balanced by one Quit.
class TtfSession {
 public:
  TtfSession() : ok_(TTF_Init() == 0) {}
  ~TtfSession() {
    if (ok_) TTF_Quit();
  }
  TtfSession(const TtfSession&) = delete;
  TtfSession& operator=(const TtfSession&) = delete;
  bool ok() const { return ok_; }

 private:
  bool ok_;
};

class TtfFont final : public Font {
 public:
  bool Open(const FontFile& file, int pixel_size) {
    if (!session_.ok()) {
      LogDetail(std::string("text: SDL_ttf cannot start: ") + TTF_GetError());
      return false;
    }
    font_.reset(TTF_OpenFontIndex(file.path.c_str(), pixel_size, file.face_index));
    if (!font_) {
      LogDetail("text: font file " + file.path + ": " + TTF_GetError());
      return false;
    }
    LogDetail("text: font file " + file.path + " at " + std::to_string(pixel_size) + " px");
    // Glyphs are placed one by one at whole-pixel pen positions without kerning, so a text's
    // width is the plain sum of its advances (and matches what SDL_ttf itself measures).
    TTF_SetFontKerning(font_.get(), 0);
    ascent_ = TTF_FontAscent(font_.get());
    line_height_ = TTF_FontHeight(font_.get());
    return true;
  }

  int LineHeight() const override { return line_height_; }
  GlyphImage Rasterise(char32_t code_point) override;

 private:
  // Declared before the font so that the font is closed before the session ends.
  TtfSession session_;
  UniqueHandle<TTF_Font, TTF_CloseFont> font_;
  int ascent_ = 0;
  int line_height_ = 0;
};

GlyphImage TtfFont::Rasterise(char32_t code_point) {
  GlyphImage glyph;
  TTF_Font* font = font_.get();
  const auto ch = static_cast<Uint32>(code_point);
  int min_x = 0;
  int max_x = 0;
  int min_y = 0;
  int max_y = 0;
  int advance = 0;
  if (TTF_GlyphMetrics32(font, ch, &min_x, &max_x, &min_y, &max_y, &advance) != 0) return glyph;
  glyph.advance = std::max(advance, 0);

  // Shaded rendering gives an 8-bit surface whose palette runs from the background (black)
  // to the foreground (white), so a pixel's red is its coverage. Blank glyphs give none.
  const SDL_Color white{255, 255, 255, 255};
  const SDL_Color black{0, 0, 0, 255};
  UniqueHandle<SDL_Surface, SDL_FreeSurface> picture(
      TTF_RenderGlyph32_Shaded(font, ch, white, black));
  if (!picture || picture->format->BytesPerPixel != 1 || picture->w <= 0 || picture->h <= 0) {
    return glyph;
  }
  std::array<std::uint8_t, 256> coverage_of{};
  const SDL_Palette* palette = picture->format->palette;
  for (int i = 0; i < 256; ++i) {
    coverage_of[static_cast<std::size_t>(i)] = palette == nullptr     ? static_cast<std::uint8_t>(i)
                                               : i < palette->ncolors ? palette->colors[i].r
                                                                      : 0;
  }
  const auto* pixels = static_cast<const std::uint8_t*>(picture->pixels);
  const int pitch = picture->pitch;  // rows are padded: never assume w bytes
  auto coverage_at = [&](int x, int y) {
    return coverage_of[pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch) +
                              static_cast<std::size_t>(x)]];
  };

  // Trim to the ink, so that drawing skips the empty margins of the line-high picture.
  int first_x = picture->w;
  int last_x = -1;
  int first_y = picture->h;
  int last_y = -1;
  for (int y = 0; y < picture->h; ++y) {
    for (int x = 0; x < picture->w; ++x) {
      if (coverage_at(x, y) == 0) continue;
      first_x = std::min(first_x, x);
      last_x = std::max(last_x, x);
      first_y = std::min(first_y, y);
      last_y = std::max(last_y, y);
    }
  }
  if (last_x < 0) return glyph;

  // SDL_ttf places the pen at column -min(0, min_x) of the picture and the top of the line
  // box at row max(0, max_y - ascent), so that overhanging ink still fits in the picture.
  const int pen_column = std::max(0, -min_x);
  const int line_top_row = std::max(0, max_y - ascent_);
  glyph.left = first_x - pen_column;
  glyph.top = first_y - line_top_row;
  glyph.width = last_x - first_x + 1;
  glyph.height = last_y - first_y + 1;
  glyph.coverage.reserve(static_cast<std::size_t>(glyph.width) *
                         static_cast<std::size_t>(glyph.height));
  for (int y = first_y; y <= last_y; ++y) {
    for (int x = first_x; x <= last_x; ++x) glyph.coverage.push_back(coverage_at(x, y));
  }
  return glyph;
}

}  // namespace

// A private configuration, so that nothing else using fontconfig in the process (GTK) is
// disturbed when it is destroyed again.
class TtfFontSource::Configuration {
 public:
  Configuration() : config_(FcInitLoadConfigAndFonts()) {}

  // The file fontconfig picks for a pattern; none without a configuration or a font.
  std::optional<FontFile> Find(const std::string& pattern) const {
    if (!config_) return std::nullopt;
    FcPatternPtr wanted(FcNameParse(reinterpret_cast<const FcChar8*>(pattern.c_str())));
    if (!wanted) return std::nullopt;
    if (!FcConfigSubstitute(config_.get(), wanted.get(), FcMatchPattern)) return std::nullopt;
    FcDefaultSubstitute(wanted.get());
    FcResult result = FcResultNoMatch;
    FcPatternPtr match(FcFontMatch(config_.get(), wanted.get(), &result));
    if (!match) return std::nullopt;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr) {
      return std::nullopt;
    }
    FontFile found;
    found.path = reinterpret_cast<const char*>(file);
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &found.face_index) != FcResultMatch) {
      found.face_index = 0;
    }
    return found;
  }

 private:
  UniqueHandle<FcConfig, FcConfigDestroy> config_;
};

TtfFontSource::TtfFontSource() = default;

TtfFontSource::~TtfFontSource() = default;

void TtfFontSource::LoadAhead() {
  if (!loading_.valid() && !configuration_) {
    loading_ = std::async(std::launch::async, [] { return std::make_unique<Configuration>(); });
  }
}

std::unique_ptr<Font> TtfFontSource::OpenFont(const std::string& pattern, int pixel_size) {
  if (loading_.valid()) configuration_ = loading_.get();
  if (!configuration_) configuration_ = std::make_unique<Configuration>();
  const std::optional<FontFile> file = configuration_->Find(pattern);
  if (!file) {
    LogDetail("text: fontconfig found no font for '" + pattern + "'; no text is drawn");
    return nullptr;
  }
  return OpenFontFile(*file, pixel_size);
}

std::unique_ptr<Font> TtfFontSource::OpenFontFile(const FontFile& file, int pixel_size) {
  if (pixel_size <= 0) return nullptr;
  auto font = std::make_unique<TtfFont>();
  if (!font->Open(file, pixel_size)) return nullptr;
  return font;
}

}  // namespace grumbol::platform
