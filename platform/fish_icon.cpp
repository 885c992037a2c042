#include "platform/fish_icon.h"

#include <cmath>

namespace grumbol::platform {

namespace {

constexpr std::uint32_t kClear = 0x00000000;
constexpr std::uint32_t kOutline = 0xFF0B2E4F;
constexpr std::uint32_t kBody = 0xFFF28C28;
constexpr std::uint32_t kBelly = 0xFFFFD27A;
constexpr std::uint32_t kFin = 0xFFD9601A;
constexpr std::uint32_t kEyeWhite = 0xFFFFFFFF;

// Inside the ellipse centred at (cx, cy) with radii (rx, ry), widened by `grow` so the same
// shape gives the outline ring.
bool InEllipse(double x, double y, double cx, double cy, double rx, double ry, double grow = 0) {
  const double dx = (x - cx) / (rx + grow);
  const double dy = (y - cy) / (ry + grow);
  return dx * dx + dy * dy <= 1.0;
}

}  // namespace

std::uint32_t FishIconColour(double x, double y) {
  // Body: an ellipse facing right; tail: a triangle on the left that widens outwards.
  const double cx = 18.5, cy = 16, rx = 11, ry = 8;
  const double tail_half_height = (10.5 - x) * 0.8 + 1;
  const bool in_tail = x >= 1 && x < 11 && std::abs(y - cy) <= tail_half_height;
  const bool in_body = InEllipse(x, y, cx, cy, rx, ry);
  const bool in_body_outline = InEllipse(x, y, cx, cy, rx, ry, 1.2);

  if (InEllipse(x, y, 24, 13.5, 1.6, 1.6)) return kOutline;  // pupil
  if (InEllipse(x, y, 24, 13.5, 2.8, 2.8)) return kEyeWhite;
  if (in_body) {
    if (y >= 18 && InEllipse(x, y, cx, cy + 2, rx - 2, ry - 3)) return kBelly;
    if (x >= 14 && x < 17 && y >= 9 && y < 23) return kFin;  // gill stripe
    return kBody;
  }
  if (in_body_outline) return kOutline;
  // Diagonal stripes one unit wide, every fourth diagonal of the 32x32 grid.
  if (in_tail) return std::fmod(x + y - 0.5, 4.0) < 1 ? kBody : kFin;
  return kClear;
}

}  // namespace grumbol::platform
