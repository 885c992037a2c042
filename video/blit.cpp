#include "video/blit.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace grumbol {

namespace {

template <int kBytes>
void KeyedRowNarrow(const std::uint8_t* src, std::uint8_t* dst, int count, std::uint32_t key) {
  for (int i = 0; i < count; ++i) {
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, src + i * kBytes, kBytes);
    if (pixel != key) std::memcpy(dst + i * kBytes, &pixel, kBytes);
  }
}

void KeyedRow32(const std::uint8_t* src, std::uint8_t* dst, int count, std::uint32_t key) {
  int i = 0;
#if defined(__SSE2__)
  // Four pixels at a time: where a source pixel equals the key, keep the destination.
  const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
    const __m128i keep = _mm_cmpeq_epi32(s, keys);
    const int transparent = _mm_movemask_epi8(keep);
    if (transparent == 0xFFFF) continue;
    __m128i* d = reinterpret_cast<__m128i*>(dst + i * 4);
    if (transparent == 0) {  // all opaque: no need to read the destination
      _mm_storeu_si128(d, s);
      continue;
    }
    const __m128i old = _mm_loadu_si128(d);
    _mm_storeu_si128(d, _mm_or_si128(_mm_and_si128(keep, old), _mm_andnot_si128(keep, s)));
  }
#endif
  KeyedRowNarrow<4>(src + i * 4, dst + i * 4, count - i, key);  // the rest, one at a time
}

}  // namespace

void CopyPixels(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy) {
  const std::size_t bpp = static_cast<std::size_t>(src.bytes_per_pixel());
  const std::size_t row_bytes = static_cast<std::size_t>(w) * bpp;
  for (int row = 0; row < h; ++row) {
    std::memcpy(dst.Row(dy + row) + static_cast<std::size_t>(dx) * bpp,
                src.Row(sy + row) + static_cast<std::size_t>(sx) * bpp, row_bytes);
  }
}

void CopyPixelsKeyed(const Surface& src, int sx, int sy, int w, int h, Surface& dst, int dx, int dy,
                     std::uint32_t key) {
  const int bpp = src.bytes_per_pixel();
  auto* row_copy = bpp == 4   ? &KeyedRow32
                   : bpp == 3 ? &KeyedRowNarrow<3>
                   : bpp == 2 ? &KeyedRowNarrow<2>
                              : &KeyedRowNarrow<1>;
  const std::uint32_t masked_key = bpp == 4 ? key : key & ((1u << (8 * bpp)) - 1u);
  for (int row = 0; row < h; ++row) {
    row_copy(src.Row(sy + row) + static_cast<std::size_t>(sx) * bpp,
             dst.Row(dy + row) + static_cast<std::size_t>(dx) * bpp, w, masked_key);
  }
}

Clip ClipTo(const Surface& surface, std::int64_t left, std::int64_t top, std::int64_t right,
            std::int64_t bottom) {
  Clip clip;
  clip.x0 = static_cast<int>(std::clamp<std::int64_t>(left, 0, surface.width()));
  clip.y0 = static_cast<int>(std::clamp<std::int64_t>(top, 0, surface.height()));
  clip.x1 = static_cast<int>(std::clamp<std::int64_t>(right, 0, surface.width()));
  clip.y1 = static_cast<int>(std::clamp<std::int64_t>(bottom, 0, surface.height()));
  return clip;
}

void FillPixels(Surface& dst, std::uint32_t value) {
  const int bpp = dst.bytes_per_pixel();
  if (dst.height() == 0) return;
  // Build the first row, then copy it to the others.
  std::uint8_t* first = dst.Row(0);
  for (int x = 0; x < dst.width(); ++x)
    std::memcpy(first + x * bpp, &value, static_cast<std::size_t>(bpp));
  for (int y = 1; y < dst.height(); ++y) {
    std::memcpy(dst.Row(y), first, static_cast<std::size_t>(dst.width()) * bpp);
  }
}

}  // namespace grumbol
