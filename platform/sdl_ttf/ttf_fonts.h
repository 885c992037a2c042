#pragma once

#include <future>
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

// The file fontconfig picks for a pattern, in the process's configuration (the one GTK's text
// uses too); none when fontconfig cannot load its configuration or knows no font at all.
std::optional<FontFile> FindFontFile(const std::string& pattern);

// Fonts found by fontconfig and rasterised by SDL_ttf.
class TtfFontSource final : public FontSource {
 public:
  // Begins loading fontconfig's configuration on a thread of its own: reading it takes a
  // while, and the dialogs need it before the game does.
  TtfFontSource();
  ~TtfFontSource() override;
  TtfFontSource(const TtfFontSource&) = delete;
  TtfFontSource& operator=(const TtfFontSource&) = delete;

  std::unique_ptr<Font> OpenFont(const std::string& pattern, int pixel_size) override;
  // The font in a given file; null when SDL_ttf cannot open it.
  static std::unique_ptr<Font> OpenFontFile(const FontFile& file, int pixel_size);

 private:
  std::future<void> configuration_;
};

}  // namespace grumbol::platform
