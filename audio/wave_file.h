#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/audio_device.h"

namespace grumbol {

// Sample bytes ready for the audio device, always stereo: a mono sound is doubled onto both
// channels so that it plays at full level on each, as a sound card plays a mono buffer.
struct DeviceSound {
  platform::SampleEncoding encoding = platform::SampleEncoding::kSigned16;
  int rate = 0;
  int frames_per_block = 0;  // ADPCM only
  std::vector<std::uint8_t> bytes;

  platform::SampleData View() const { return {encoding, 2, rate, frames_per_block, bytes}; }
};

bool HasRiffSignature(std::span<const std::uint8_t> data);

// A RIFF WAVE file's samples in the format its "fmt " record declares. "fmt " must be the
// first chunk; the walk then skips chunks by exactly 8 + their size until "data". Nothing
// outside `data` is read: a truncated header, a missing "data" chunk, a chunk leading past
// the end, a "data" chunk longer than the file, a format we cannot play, or no whole frame
// give nullopt. The samples are cut to whole frames (whole blocks for ADPCM).
std::optional<DeviceSound> ReadWaveSound(std::span<const std::uint8_t> data);

}  // namespace grumbol
