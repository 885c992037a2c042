#pragma once

#include <cstdint>

#include "video/surface.h"

namespace grumbol {

// Copies the w x h block at (sx, sy) of src to (dx, dy) of dst. Both surfaces have the same
// pixel size and the block lies inside both: the caller clips.
void CopyPixels(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy);

// The same, skipping every source pixel whose value equals key.
void CopyPixelsKeyed(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx,
                     int dy, std::uint32_t key);

// Sets every pixel of dst to value.
void FillPixels(Surface& dst, std::uint32_t value);

}  // namespace grumbol
