#include "bmp.h"

#include <algorithm>
#include <array>
#include <map>

namespace gfx {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(value & 255);
  out.push_back((value >> 8) & 255);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::vector<std::uint8_t> Headers(int width, int height, int bits, std::uint32_t colours,
                                  std::uint32_t row_bytes) {
  const std::uint32_t offset = 14 + 40 + colours * 4;
  const std::uint32_t image_bytes = row_bytes * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> out = {'B', 'M'};
  Put32(out, offset + image_bytes);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));  // positive: bottom row first
  Put16(out, 1);
  Put16(out, static_cast<std::uint32_t>(bits));
  Put32(out, 0);  // BI_RGB
  Put32(out, image_bytes);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, colours);
  Put32(out, 0);
  return out;
}

std::uint32_t Padded(std::uint32_t bytes) { return (bytes + 3) & ~3u; }

}  // namespace

std::vector<std::uint8_t> EncodeBmp24(const Image& image) {
  const std::uint32_t row_bytes = Padded(static_cast<std::uint32_t>(image.width) * 3);
  std::vector<std::uint8_t> out = Headers(image.width, image.height, 24, 0, row_bytes);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t rgb = image.At(x, y);
      out.insert(out.end(), {std::uint8_t(rgb & 255), std::uint8_t((rgb >> 8) & 255),
                             std::uint8_t(rgb >> 16)});
    }
    out.resize(out.size() + row_bytes - static_cast<std::uint32_t>(image.width) * 3, 0);
  }
  return out;
}

Indexed ToPalette(const Image& image) {
  // Finest cell size first: shift 0 keeps every colour as it is.
  for (int shift = 0; shift < 8; ++shift) {
    const std::uint32_t mask = (0xFFu << shift) & 0xFF;
    const std::uint32_t cell_mask = (mask << 16) | (mask << 8) | mask;
    auto cell_of = [&](std::uint32_t rgb) { return rgb == kKey ? 0xFFFFFFFFu : rgb & cell_mask; };
    std::map<std::uint32_t, std::array<std::uint64_t, 4>> cells;  // sums of r, g, b and count
    for (std::uint32_t rgb : image.rgb) {
      auto& sum = cells[cell_of(rgb)];
      sum[0] += rgb >> 16;
      sum[1] += (rgb >> 8) & 255;
      sum[2] += rgb & 255;
      sum[3] += 1;
    }
    if (cells.size() > 256) continue;
    Indexed indexed;
    std::map<std::uint32_t, std::uint8_t> slot;
    for (const auto& [cell, sum] : cells) {
      std::uint32_t colour = kKey;
      if (cell != 0xFFFFFFFFu) {
        auto mean = [&](int i) {
          return static_cast<std::uint32_t>((sum[i] + sum[3] / 2) / sum[3]);
        };
        colour = (mean(0) << 16) | (mean(1) << 8) | mean(2);
        if (colour == kKey) colour = 0xFE00FF;
      }
      slot[cell] = static_cast<std::uint8_t>(indexed.palette.size());
      indexed.palette.push_back(colour);
    }
    for (std::uint32_t rgb : image.rgb) indexed.index.push_back(slot[cell_of(rgb)]);
    return indexed;
  }
  return {};  // not reached: at shift 7 there are at most 9 cells
}

Image FromPalette(const Indexed& indexed, int width, int height) {
  Image image{width, height, {}};
  for (std::uint8_t i : indexed.index) image.rgb.push_back(indexed.palette[i]);
  return image;
}

std::vector<std::uint8_t> EncodeBmp8(const Image& image) {
  const Indexed indexed = ToPalette(image);
  const std::uint32_t row_bytes = Padded(static_cast<std::uint32_t>(image.width));
  std::vector<std::uint8_t> out = Headers(
      image.width, image.height, 8, static_cast<std::uint32_t>(indexed.palette.size()), row_bytes);
  for (std::uint32_t colour : indexed.palette) Put32(out, colour);  // blue, green, red, 0
  for (int y = image.height - 1; y >= 0; --y) {
    const auto row = indexed.index.begin() + static_cast<std::ptrdiff_t>(y) * image.width;
    out.insert(out.end(), row, row + image.width);
    out.resize(out.size() + row_bytes - static_cast<std::uint32_t>(image.width), 0);
  }
  return out;
}

}  // namespace gfx
