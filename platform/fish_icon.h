#pragma once

#include <cstdint>

namespace grumbol::platform {

// The game's emblem, a fish facing right, drawn on a square of 32 units. Kept free of SDL so
// that the window icon and the installed icon files come from the same art.
inline constexpr int kFishIconUnits = 32;

// ARGB colour (0xAARRGGBB, alpha 0 or 255) of the art at the point (x, y), both in
// [0, kFishIconUnits); the 32x32 window icon samples the pixel centres (x + 0.5, y + 0.5),
// larger icons sample finer and average.
std::uint32_t FishIconColour(double x, double y);

}  // namespace grumbol::platform
