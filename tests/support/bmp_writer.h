#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace grumbol::testing {

// A BMP file to write: a 14-byte file header, a 40-byte info header, the colour table and
// the pixel data. Header fields may be set to values that make no sense.
struct BmpShape {
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> palette = {};  // 0x00RRGGBB, written as blue, green, red, 0
  // Stored rows in file order (bottom row first), each padded with 0xA5 to a multiple of 4.
  std::vector<std::vector<std::uint8_t>> rows = {};
  std::vector<std::uint8_t> raw_pixels = {};    // written after `rows` as they are (an RLE8 stream)
  std::optional<std::uint32_t> info_size = {};  // biSize, when it is to lie
  std::optional<std::uint32_t> pixel_offset = {};  // bfOffBits; by default right after the table
};

std::vector<std::uint8_t> MakeBmp(const BmpShape& shape);
// A 24-bit picture with the colour 0x00RRGGBB of each pixel; y counts from the top row.
std::vector<std::uint8_t> Picture24(int width, int height,
                                    const std::function<std::uint32_t(int x, int y)>& colour);

}  // namespace grumbol::testing
