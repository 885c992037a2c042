#include "tests/support/bmp_writer.h"

namespace grumbol::testing {
namespace {

void Put(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<std::uint8_t> MakeBmp(const BmpSpec& spec) {
  std::vector<std::uint8_t> out(14 + spec.info_size, 0);
  out[0] = 'B';
  out[1] = 'M';
  // Fields that do not fit a short info header are left out.
  auto info = [&](std::size_t offset, std::uint32_t value, int bytes) {
    if (offset + bytes <= out.size()) Put(out, offset, value, bytes);
  };
  info(14, spec.declared_info_size.value_or(spec.info_size), 4);
  info(18, static_cast<std::uint32_t>(spec.width), 4);
  info(22, static_cast<std::uint32_t>(spec.height), 4);
  info(26, 1, 2);  // planes
  info(28, spec.bits, 2);
  info(30, spec.compression, 4);
  info(46, static_cast<std::uint32_t>(spec.palette.size()), 4);
  for (std::uint32_t colour : spec.palette) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(colour >> (8 * i)));
  }
  Put(out, 10, spec.pixel_offset.value_or(static_cast<std::uint32_t>(out.size())), 4);
  for (const auto& row : spec.rows) {
    out.insert(out.end(), row.begin(), row.end());
    out.resize(out.size() + (4 - row.size() % 4) % 4, spec.pad_byte);
  }
  out.insert(out.end(), spec.raw_pixels.begin(), spec.raw_pixels.end());
  Put(out, 2, static_cast<std::uint32_t>(out.size()), 4);  // bfSize
  return out;
}

}  // namespace grumbol::testing
