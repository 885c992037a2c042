#include "tests/support/bmp_writer.h"

namespace grumbol::testing {

std::vector<std::uint8_t> MakeBmp(const BmpShape& shape) {
  std::vector<std::uint8_t> out(54, 0);
  auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put(14, shape.info_size.value_or(40), 4);
  put(18, static_cast<std::uint32_t>(shape.width), 4);
  put(22, static_cast<std::uint32_t>(shape.height), 4);
  put(26, 1, 2);  // planes
  put(28, shape.bits, 2);
  put(30, shape.compression, 4);
  put(46, static_cast<std::uint32_t>(shape.palette.size()), 4);
  for (std::uint32_t colour : shape.palette) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(colour >> (8 * i)));
  }
  put(10, shape.pixel_offset.value_or(static_cast<std::uint32_t>(out.size())), 4);
  for (const auto& row : shape.rows) {
    out.insert(out.end(), row.begin(), row.end());
    out.resize(out.size() + (4 - row.size() % 4) % 4, 0xA5);
  }
  out.insert(out.end(), shape.raw_pixels.begin(), shape.raw_pixels.end());
  put(2, static_cast<std::uint32_t>(out.size()), 4);  // bfSize
  return out;
}

std::vector<std::uint8_t> Picture24(int width, int height,
                                    const std::function<std::uint32_t(int x, int y)>& colour) {
  BmpShape shape{.width = width, .height = height};
  for (int y = height - 1; y >= 0; --y) {
    auto& row = shape.rows.emplace_back();
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = colour(x, y);
      row.insert(row.end(), {std::uint8_t(c), std::uint8_t(c >> 8),
                             std::uint8_t(c >> 16)});  // blue, green, red
    }
  }
  return MakeBmp(shape);
}

}  // namespace grumbol::testing
