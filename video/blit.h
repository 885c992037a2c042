#pragma once

#include <cstdint>

#include "platform/surface.h"

namespace grumbol {

// The rectangle [x0, x1) x [y0, y1) of a surface; empty when nothing of it is left.
struct Clip {
  int x0 = 0;
  int y0 = 0;
  int x1 = 0;
  int y1 = 0;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};

// The rectangle [left, right) x [top, bottom) cut to the surface.
Clip ClipTo(const Surface& surface, std::int64_t left, std::int64_t top, std::int64_t right,
            std::int64_t bottom);

// Copies the w x h block at (sx, sy) of src to (dx, dy) of dst. Both surfaces have the same
// pixel size and the block lies inside both: the caller clips.
void CopyPixels(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy);

// The same, skipping every source pixel whose value equals key.
void CopyPixelsKeyed(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy,
                     std::uint32_t key);

// Sets every pixel of dst to value.
void FillPixels(Surface& dst, std::uint32_t value);

}  // namespace grumbol
