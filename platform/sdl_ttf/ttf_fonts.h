#pragma once

#include <future>
#include <memory>
#include <string>

#include "platform/fonts.h"

namespace grumbol::platform {

// A font file on disk and the face inside it (collections hold several).
struct FontFile {
  std::string path;
  int face_index = 0;
};

// Fonts found by fontconfig and rasterised by SDL_ttf.
class TtfFontSource final : public FontSource {
 public:
  TtfFontSource();
  ~TtfFontSource() override;  // waits for a configuration still being loaded
  TtfFontSource(const TtfFontSource&) = delete;
  TtfFontSource& operator=(const TtfFontSource&) = delete;

  // Begins loading fontconfig's configuration on a thread of its own (reading it takes a
  // while); the first OpenFont takes it. Without it, the first OpenFont loads it.
  void LoadAhead();
  // The nearest font fontconfig knows; none when it cannot load its configuration or knows no
  // font at all.
  std::unique_ptr<Font> OpenFont(const std::string& pattern, int pixel_size) override;
  // The font in a given file; null when SDL_ttf cannot open it.
  static std::unique_ptr<Font> OpenFontFile(const FontFile& file, int pixel_size);

 private:
  class Configuration;
  std::future<std::unique_ptr<Configuration>> loading_;
  std::unique_ptr<Configuration> configuration_;
};

}  // namespace grumbol::platform
