// Sound loading from memory: the RIFF walk and every format conversion of our own.
#include <cstdint>
#include <cstdlib>

#include "audio/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto sound = grumbol::ReadWaveSound({data, size});
  if (!sound) return 0;
  // What the device gets is stereo and whole: at least one frame (one block for ADPCM).
  using grumbol::platform::SampleEncoding;
  std::size_t frame = 0;
  switch (sound->encoding) {
    case SampleEncoding::kUnsigned8:
    case SampleEncoding::kMulaw:
    case SampleEncoding::kAlaw: frame = 2; break;
    case SampleEncoding::kSigned16: frame = 4; break;
    case SampleEncoding::kFloat32: frame = 8; break;
    case SampleEncoding::kMsAdpcm:
      if (sound->frames_per_block < 2) std::abort();
      frame = static_cast<std::size_t>((sound->frames_per_block - 2) / 2 + 7) * 2;
      break;
  }
  if (sound->bytes.empty() || sound->bytes.size() % frame != 0 || sound->rate <= 0) std::abort();
  return 0;
}
