#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/fonts.h"

namespace grumbol::platform {

// A font file on disk and the face inside it (collections hold several).
struct FontFile {
  std::string path;
  int face_index = 0;
};

// The file fontconfig picks for a pattern; none when fontconfig cannot load its
// configuration or knows no font at all.
std::optional<FontFile> FindFontFile(const std::string& pattern);

// Fonts found by fontconfig and rasterised by SDL_ttf.
class TtfFontSource final : public FontSource {
 public:
  std::unique_ptr<Font> OpenFont(const std::string& pattern, int pixel_size) override;
  // The font in a given file; null when SDL_ttf cannot open it.
  static std::unique_ptr<Font> OpenFontFile(const FontFile& file, int pixel_size);
};

}  // namespace grumbol::platform
