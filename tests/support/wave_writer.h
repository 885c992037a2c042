#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace grumbol::testing {

using Bytes = std::vector<std::uint8_t>;

// A RIFF WAVE file: "fmt " first, then `between` (whole chunks), then "data".
struct WaveShape {
  std::uint16_t tag = 1;
  std::uint16_t channels = 1;
  std::uint32_t rate = 22050;
  std::uint16_t block_align = 2;
  std::uint16_t bits = 16;
  Bytes extra = {};  // follows a cbSize field in the format record when not empty
  Bytes between = {};
  Bytes samples = {};
};

Bytes MakeWave(const WaveShape& shape);
// A chunk: identifier, size, data.
Bytes Chunk(const char* id, const Bytes& data);
Bytes Riff(std::initializer_list<Bytes> chunks);
// Little-endian bytes of the values, `bytes` each.
Bytes Le(std::initializer_list<std::int64_t> values, int bytes);

}  // namespace grumbol::testing
