#pragma once

#include <cstdint>
#include <string>

namespace grumbol::testing {

// A short Theora/Vorbis clip in Ogg made with GStreamer. Pattern: a videotestsrc pattern;
// "blink" alternates black and rgb.
struct ClipShape {
  int width = 64, height = 48, frames = 4, fps = 4;
  std::string pattern = "solid-color";
  std::uint32_t rgb = 0;
  bool video = true, audio = true;
};

// Writes the clip to `path`; false when GStreamer could not make it.
bool MakeClip(const std::string& path, const ClipShape& shape);

}  // namespace grumbol::testing
