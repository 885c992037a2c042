#include "platform/sdl/sdl_icon.h"

#include <cmath>
#include <cstdint>

namespace grumbol::platform::sdl {

namespace {

constexpr int kSize = 32;

// ARGB colours of the fish.
constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kOutline = 0xFF0B2E4F;
constexpr std::uint32_t kBody = 0xFFF28C28;
constexpr std::uint32_t kBelly = 0xFFFFD27A;
constexpr std::uint32_t kFin = 0xFFD9601A;
constexpr std::uint32_t kEyeWhite = 0xFFFFFFFF;

// Squared distance test against an ellipse centred at (cx, cy) with radii (rx, ry), scaled
// by `grow` so the same shape gives the outline ring.
bool InEllipse(int x, int y, double cx, double cy, double rx, double ry, double grow = 0) {
  const double dx = (x + 0.5 - cx) / (rx + grow);
  const double dy = (y + 0.5 - cy) / (ry + grow);
  return dx * dx + dy * dy <= 1.0;
}

std::uint32_t FishPixel(int x, int y) {
  // Body: an ellipse facing right; tail: a triangle on the left that widens outwards.
  const double cx = 18.5, cy = 16, rx = 11, ry = 8;
  const double tail_half_height = (10 - x) * 0.8 + 1;
  const bool in_tail = x >= 1 && x <= 10 && std::abs(y + 0.5 - cy) <= tail_half_height;
  const bool in_body = InEllipse(x, y, cx, cy, rx, ry);
  const bool in_body_outline = InEllipse(x, y, cx, cy, rx, ry, 1.2);

  if (InEllipse(x, y, 24, 13.5, 1.6, 1.6)) return kOutline;  // pupil
  if (InEllipse(x, y, 24, 13.5, 2.8, 2.8)) return kEyeWhite;
  if (in_body) {
    if (y >= 18 && InEllipse(x, y, cx, cy + 2, rx - 2, ry - 3)) return kBelly;
    if (x >= 14 && x <= 16 && y >= 9 && y <= 22) return kFin;  // gill stripe
    return kBody;
  }
  if (in_body_outline) return kOutline;
  if (in_tail) return (x + y) % 4 == 0 ? kBody : kFin;
  return kClear;
}

}  // namespace

SurfacePtr MakeFishIcon() {
  SurfacePtr icon(SDL_CreateRGBSurfaceWithFormat(0, kSize, kSize, 32, SDL_PIXELFORMAT_ARGB8888));
  if (!icon) return nullptr;
  for (int y = 0; y < kSize; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(icon->pixels) +
                                                 y * icon->pitch);
    for (int x = 0; x < kSize; ++x) row[x] = FishPixel(x, y);
  }
  return icon;
}

}  // namespace grumbol::platform::sdl
