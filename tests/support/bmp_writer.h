#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace grumbol::testing {

// A BMP file to write: a 14-byte file header, a BITMAPINFOHEADER (stretched or cut to
// `info_size`), the colour table and the pixel data. Every header field can be set, also to
// values that make no sense.
struct BmpSpec {
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t info_size = 40;                     // bytes of info header written
  std::optional<std::uint32_t> declared_info_size;  // biSize, when it is to lie
  std::vector<std::uint32_t> palette;               // 0x00RRGGBB, written as blue, green, red, 0
  // Stored rows in file order (bottom row first), without padding: each is padded to a
  // multiple of 4 bytes with `pad_byte`.
  std::vector<std::vector<std::uint8_t>> rows;
  std::uint8_t pad_byte = 0xA5;
  std::vector<std::uint8_t> raw_pixels;  // written after `rows` as they are (e.g. an RLE8 stream)
  std::optional<std::uint32_t> pixel_offset;  // bfOffBits; by default right after the table
};

std::vector<std::uint8_t> MakeBmp(const BmpSpec& spec);

}  // namespace grumbol::testing
