#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/pixel_layout.h"
#include "platform/surface.h"

namespace grumbol {

// SpriteMode values and bits. Every sprite is a plain memory surface here, so the system-memory
// value and the texture bit load exactly like mode 0.
inline constexpr int kSpriteModeSystemMemory = 1;  // exactly 1
inline constexpr int kSpriteModePlainMemory = 2;   // exactly 2
inline constexpr int kSpriteModeTextureBit = 4;
inline constexpr int kSpriteModeAlphaBit = 8;

struct SpritePicture {
  int width = 0;
  int height = 0;
  // Bits per pixel of the picture after expansion (8, 16, 24, 32), or -2 for a plain-memory
  // sprite.
  int depth = 0;
  // Top row first. In the screen's pixel format (BytesPerPixel(screen_depth) bytes per pixel);
  // 4 bytes B,G,R,A when `alpha`; 1 byte per pixel for a plain-memory sprite.
  Surface pixels;
  // Mode with the alpha bit on a 32-bit picture: the fourth byte is kept and the sprite gets
  // no colour key.
  bool alpha = false;
  // Plain-memory sprite (mode exactly 2): kept, but never drawn.
  bool plain = false;
};

// Whether `data` starts as a BMP file does ("BM").
inline bool HasBmpSignature(std::span<const std::uint8_t> data) {
  return data.size() >= 2 && data[0] == 'B' && data[1] == 'M';
}

// What loading BMP `data` into a sprite gives for a screen of `screen_depth` bits (0 while no
// screen is open) and `layout`, in `mode`. nullopt when the load fails, including every kind
// of malformed data: the loader never reads outside `data`; and when its pixels would take
// more than `max_pixel_bytes` (a picture's header alone sets its size, and some need no pixel
// data at all). `too_large`, when given, tells whether that was the reason.
std::optional<SpritePicture> DecodeSpritePicture(std::span<const std::uint8_t> data,
                                                 int screen_depth, PixelLayout layout, int mode,
                                                 std::size_t max_pixel_bytes = Surface::kMaxBytes,
                                                 bool* too_large = nullptr);

}  // namespace grumbol
