#pragma once

#include <cstdint>

namespace grumbol {

// How the screen packs a pixel. The game's 32-bit screen is kX8R8G8B8.
enum class PixelLayout : std::int32_t {
  kNone = 0,          // no screen has been opened yet
  kPalette8 = 1,      // anything that is not 16, 24 or 32 bits
  kRgb555 = 2,        // 16-bit 5-5-5
  kRgb565 = 3,        // 16-bit 5-6-5
  kBgr24RedLow = 4,   // 24-bit, red in the lowest byte
  kRgb24RedHigh = 5,  // 24-bit, red in the third byte
  kX8B8G8R8 = 6,      // 32-bit, red in the lowest byte
  kX8R8G8B8 = 7,      // 32-bit, red in the third byte
};

// Bytes one pixel takes at a screen depth (15 and 16 bits: 2); 0 for unknown depths.
constexpr int BytesPerPixel(int depth) {
  switch (depth) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
  }
}

}  // namespace grumbol
