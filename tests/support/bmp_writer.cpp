#include "tests/support/bmp_writer.h"

namespace grumbol::testing {

std::vector<std::uint8_t> MakeBmp(const BmpSpec& spec) {
  std::vector<std::uint8_t> out(54, 0);
  auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put(14, spec.info_size.value_or(40), 4);
  put(18, static_cast<std::uint32_t>(spec.width), 4);
  put(22, static_cast<std::uint32_t>(spec.height), 4);
  put(26, 1, 2);  // planes
  put(28, spec.bits, 2);
  put(30, spec.compression, 4);
  put(46, static_cast<std::uint32_t>(spec.palette.size()), 4);
  for (std::uint32_t colour : spec.palette) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(colour >> (8 * i)));
  }
  put(10, spec.pixel_offset.value_or(static_cast<std::uint32_t>(out.size())), 4);
  for (const auto& row : spec.rows) {
    out.insert(out.end(), row.begin(), row.end());
    out.resize(out.size() + (4 - row.size() % 4) % 4, 0xA5);
  }
  out.insert(out.end(), spec.raw_pixels.begin(), spec.raw_pixels.end());
  put(2, static_cast<std::uint32_t>(out.size()), 4);  // bfSize
  return out;
}

std::vector<std::uint8_t> Picture24(int width, int height,
                                    const std::function<std::uint32_t(int x, int y)>& colour) {
  BmpSpec spec{.width = width, .height = height};
  for (int y = height - 1; y >= 0; --y) {
    auto& row = spec.rows.emplace_back();
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = colour(x, y);
      row.insert(row.end(), {std::uint8_t(c), std::uint8_t(c >> 8),
                             std::uint8_t(c >> 16)});  // blue, green, red
    }
  }
  return MakeBmp(spec);
}

}  // namespace grumbol::testing
