#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace gfx {

// Windows BMP files with a BITMAPINFOHEADER, rows bottom first, padded to 4 bytes.
std::vector<std::uint8_t> EncodeBmp24(const Image& image);
// 8 bits per pixel through a colour table of at most 256 entries.
std::vector<std::uint8_t> EncodeBmp8(const Image& image);

// The picture as a 256-colour table shows it: exact when it has at most 256 colours, else
// reduced to coarser and coarser colour cells (each shown as the mean of its pixels) until
// it fits. The key colour always keeps an entry of its own, so transparency survives.
struct Indexed {
  std::vector<std::uint32_t> palette;
  std::vector<std::uint8_t> index;  // one per pixel, top row first
};
Indexed ToPalette(const Image& image);
Image FromPalette(const Indexed& indexed, int width, int height);

}  // namespace gfx
