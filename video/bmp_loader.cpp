#include "video/bmp_loader.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstring>
#include <vector>

namespace grumbol {
namespace {

constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;

// The 14-byte file header and the fields of the info header up to biCompression.
constexpr std::size_t kHeaderBytes = 34;
constexpr std::size_t kFileHeaderBytes = 14;

struct Header {
  std::uint32_t pixel_offset = 0;  // bfOffBits
  std::uint32_t info_size = 0;     // biSize: the colour table follows the info header
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bits = 0;
  std::uint32_t compression = 0;
};

std::uint32_t ReadU32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

Header ReadHeader(const std::uint8_t* d) {
  Header h;
  h.pixel_offset = ReadU32(d + 10);
  h.info_size = ReadU32(d + 14);
  h.width = static_cast<std::int32_t>(ReadU32(d + 18));
  h.height = static_cast<std::int32_t>(ReadU32(d + 22));
  h.bits = d[28] | d[29] << 8;
  h.compression = ReadU32(d + 30);
  return h;
}

// The pixel formats a sprite can end up in.
enum class Format {
  kIndex8,  // 8-bit screen or plain memory: palette indices copied unchanged
  kBgra,    // mode with the alpha bit on a 32-bit picture
  kBgr0,    // 32-bit screen: blue, green, red, 0 whatever the red mask
  kBgr,     // 24-bit screen: blue, green, red whatever the red mask
  kRgb555,
  kRgb565,
};

constexpr int BytesOf(Format f) {
  switch (f) {
    case Format::kIndex8: return 1;
    case Format::kRgb555:
    case Format::kRgb565: return 2;
    case Format::kBgr: return 3;
    case Format::kBgra:
    case Format::kBgr0: return 4;
  }
  return 0;
}

std::optional<Format> ScreenFormat(int screen_depth, PixelLayout layout) {
  switch (screen_depth) {
    case 8: return Format::kIndex8;
    case 16:
      if (layout == PixelLayout::kRgb555) return Format::kRgb555;
      if (layout == PixelLayout::kRgb565) return Format::kRgb565;
      return std::nullopt;
    case 24: return Format::kBgr;
    case 32: return Format::kBgr0;
    default: return std::nullopt;
  }
}

// Writes the low kBytes bytes of `value`, least significant first.
template <int kBytes>
inline void StoreLe(std::uint8_t* dst, std::uint32_t value) {
  dst[0] = static_cast<std::uint8_t>(value);
  if constexpr (kBytes > 1) dst[1] = static_cast<std::uint8_t>(value >> 8);
  if constexpr (kBytes > 2) dst[2] = static_cast<std::uint8_t>(value >> 16);
  if constexpr (kBytes > 3) dst[3] = static_cast<std::uint8_t>(value >> 24);
}

// An 8-bit blue, green, red colour as a pixel value of format F (not kIndex8 nor kBgra).
template <Format F>
constexpr std::uint32_t PackBgr(std::uint32_t b, std::uint32_t g, std::uint32_t r) {
  if constexpr (F == Format::kRgb555) {
    return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
  } else if constexpr (F == Format::kRgb565) {
    return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
  } else {
    return b | g << 8 | r << 16;
  }
}

// A 16-bit picture value, always read as 5-5-5, as a pixel value of format F.
template <Format F>
constexpr std::uint32_t From555(std::uint32_t v) {
  if constexpr (F == Format::kRgb555) {
    return v;
  } else if constexpr (F == Format::kRgb565) {
    return ((v >> 10) & 31) << 11 | ((v >> 5) & 31) << 6 | (v & 31);
  } else {
    return PackBgr<F>((v & 31) << 3, ((v >> 5) & 31) << 3, ((v >> 10) & 31) << 3);
  }
}

// Bytes a stored row takes before and after its padding to a multiple of 4.
struct RowSize {
  std::size_t used;
  std::size_t stride;
};

RowSize RowSizeFor(int width, int bits) {
  const std::size_t used =
      (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 7) / 8;
  return {used, (used + 3) & ~std::size_t{3}};
}

// The first stored row of an uncompressed picture, or nullptr when the rows would run past the
// data. The last row's padding is only skipped, never read, so it may be missing.
const std::uint8_t* StoredRows(std::span<const std::uint8_t> data, const Header& h, RowSize row) {
  if (h.pixel_offset > data.size()) return nullptr;
  const std::size_t available = data.size() - h.pixel_offset;
  const std::size_t needed = row.stride * static_cast<std::size_t>(h.height - 1) + row.used;
  if (needed > available) return nullptr;
  return data.data() + h.pixel_offset;
}

// Converts one stored row of a 16-, 24- or 32-bit picture.
template <int kSrcBytes, Format F>
void ConvertRow(const std::uint8_t* src, std::uint8_t* dst, int width) {
  constexpr int kDstBytes = BytesOf(F);
  int x = 0;
  if constexpr (kSrcBytes == 3 && F == Format::kBgr0 &&
                std::endian::native == std::endian::little) {
    // The game's own case (24-bit files on the 32-bit screen): four pixels from three words.
    for (; x + 4 <= width; x += 4, src += 12, dst += 16) {
      std::uint32_t w[3];
      std::memcpy(w, src, sizeof w);
      const std::uint32_t out[4] = {w[0] & 0xFFFFFF, w[0] >> 24 | (w[1] & 0xFFFF) << 8,
                                    w[1] >> 16 | (w[2] & 0xFF) << 16, w[2] >> 8};
      std::memcpy(dst, out, sizeof out);
    }
  }
  for (; x < width; ++x, src += kSrcBytes, dst += kDstBytes) {
    if constexpr (kSrcBytes == 2) {
      StoreLe<kDstBytes>(dst, From555<F>(std::uint32_t{src[0]} | std::uint32_t{src[1]} << 8));
    } else if constexpr (F == Format::kBgra) {
      std::memcpy(dst, src, 4);
    } else if constexpr (F == Format::kBgr0 || F == Format::kBgr) {
      dst[0] = src[0];
      dst[1] = src[1];
      dst[2] = src[2];
      if constexpr (F == Format::kBgr0) dst[3] = 0;
    } else {
      StoreLe<kDstBytes>(dst, PackBgr<F>(src[0], src[1], src[2]));
    }
  }
}

// Stored rows are bottom row first: the first one becomes the picture's last row.
template <int kSrcBytes, Format F>
void ConvertRows(const std::uint8_t* rows, std::size_t stride, Surface& out) {
  const int height = out.height();
  for (int y = 0; y < height; ++y) {
    ConvertRow<kSrcBytes, F>(rows + static_cast<std::size_t>(y) * stride, out.Row(height - 1 - y),
                             out.width());
  }
}

template <int kSrcBytes>
bool ConvertDirect(std::span<const std::uint8_t> data, const Header& h, Format format,
                   Surface& out) {
  const RowSize row = RowSizeFor(h.width, kSrcBytes * 8);
  const std::uint8_t* rows = StoredRows(data, h, row);
  if (rows == nullptr) return false;
  switch (format) {
    case Format::kBgra:
      if constexpr (kSrcBytes == 4) ConvertRows<4, Format::kBgra>(rows, row.stride, out);
      break;
    case Format::kBgr0: ConvertRows<kSrcBytes, Format::kBgr0>(rows, row.stride, out); break;
    case Format::kBgr: ConvertRows<kSrcBytes, Format::kBgr>(rows, row.stride, out); break;
    case Format::kRgb555: ConvertRows<kSrcBytes, Format::kRgb555>(rows, row.stride, out); break;
    case Format::kRgb565: ConvertRows<kSrcBytes, Format::kRgb565>(rows, row.stride, out); break;
    case Format::kIndex8: return false;
  }
  return true;
}

// Indices copied unchanged: 8-bit pictures on an 8-bit screen or in plain memory. The
// compression field plays no part here, so a BI_RLE8 stream is copied as if it were rows.
bool CopyIndexRows(std::span<const std::uint8_t> data, const Header& h, Surface& out) {
  const RowSize row = RowSizeFor(h.width, 8);
  const std::uint8_t* rows = StoredRows(data, h, row);
  if (rows == nullptr) return false;
  for (int y = 0; y < h.height; ++y) {
    std::memcpy(out.Row(h.height - 1 - y), rows + static_cast<std::size_t>(y) * row.stride,
                row.used);
  }
  return true;
}

// Colour-table entries already in the sprite's format. An entry whose blue, green and red lie
// past the end of the data is marked missing; a picture that uses one fails. (The unused fourth
// byte is never read, so it may be missing.)
struct Palette {
  std::array<std::uint32_t, 256> value{};
  std::array<std::uint8_t, 256> missing{};
};

template <Format F>
Palette ReadPalette(std::span<const std::uint8_t> data, const Header& h, int entries) {
  Palette palette;
  const std::uint64_t table = kFileHeaderBytes + std::uint64_t{h.info_size};
  for (int i = 0; i < 256; ++i) {
    const std::uint64_t at = table + 4 * static_cast<std::uint64_t>(i);
    if (i < entries && at + 3 <= data.size()) {
      palette.value[i] = PackBgr<F>(data[at], data[at + 1], data[at + 2]);
    } else {
      palette.missing[i] = 1;
    }
  }
  return palette;
}

template <Format F>
Palette BlackAndWhite() {
  Palette palette;
  palette.missing.fill(1);
  palette.value[0] = PackBgr<F>(0, 0, 0);
  palette.value[1] = PackBgr<F>(255, 255, 255);
  palette.missing[0] = palette.missing[1] = 0;
  return palette;
}

template <Format F>
bool LookupRow(const std::uint8_t* indices, std::uint8_t* dst, int width, const Palette& palette) {
  constexpr int kDstBytes = BytesOf(F);
  std::uint8_t missing = 0;
  for (int x = 0; x < width; ++x, dst += kDstBytes) {
    missing |= palette.missing[indices[x]];
    StoreLe<kDstBytes>(dst, palette.value[indices[x]]);
  }
  return missing == 0;
}

// 1-, 4- and 8-bit rows, unpacked to one index per byte, most significant bits first.
template <Format F>
bool LookupRows(std::span<const std::uint8_t> data, const Header& h, const Palette& palette,
                Surface& out) {
  const RowSize row = RowSizeFor(h.width, h.bits);
  const std::uint8_t* rows = StoredRows(data, h, row);
  if (rows == nullptr) return false;
  std::vector<std::uint8_t> unpacked(h.bits == 8 ? 0 : static_cast<std::size_t>(h.width));
  for (int y = 0; y < h.height; ++y) {
    const std::uint8_t* src = rows + static_cast<std::size_t>(y) * row.stride;
    const std::uint8_t* indices = src;
    if (h.bits == 1) {
      for (int x = 0; x < h.width; ++x) unpacked[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
      indices = unpacked.data();
    } else if (h.bits == 4) {
      for (int x = 0; x < h.width; ++x) unpacked[x] = (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
      indices = unpacked.data();
    }
    if (!LookupRow<F>(indices, out.Row(h.height - 1 - y), h.width, palette)) return false;
  }
  return true;
}

// BI_RLE8. y counts stored rows from the bottom. Pixels the stream skips stay black. Runs,
// literals and deltas that would leave the picture fail the load. A stream that runs out at an
// instruction boundary after reaching the end of the last row is taken as complete, since some
// writers leave off the end-of-picture escape; any other early end fails.
template <Format F>
bool DecodeRle8(std::span<const std::uint8_t> data, const Header& h, const Palette& palette,
                Surface& out) {
  constexpr int kDstBytes = BytesOf(F);
  const std::size_t size = data.size();
  const int width = h.width;
  const int height = h.height;
  std::size_t pos = h.pixel_offset;
  int x = 0;
  int y = 0;
  auto put = [&](std::uint8_t index) {
    StoreLe<kDstBytes>(out.Row(height - 1 - y) + static_cast<std::size_t>(x) * kDstBytes,
                       palette.value[index]);
    ++x;
    return palette.missing[index] == 0;
  };
  while (true) {
    if (pos >= size) return y >= height || (y == height - 1 && x == width);
    if (size - pos < 2) return false;
    const int count = data[pos];
    const int code = data[pos + 1];
    pos += 2;
    if (count > 0) {  // a run of one index
      if (y >= height || count > width - x) return false;
      for (int i = 0; i < count; ++i) {
        if (!put(static_cast<std::uint8_t>(code))) return false;
      }
      continue;
    }
    switch (code) {
      case 0:  // end of line
        if (y >= height) return false;
        x = 0;
        ++y;
        break;
      case 1:  // end of picture
        return true;
      case 2:  // delta
        if (size - pos < 2) return false;
        x += data[pos];
        y += data[pos + 1];
        pos += 2;
        if (x > width || y >= height) return false;
        break;
      default:  // `code` literal indices, padded to an even count
        if (size - pos < static_cast<std::size_t>(code) || y >= height || code > width - x) {
          return false;
        }
        for (int i = 0; i < code; ++i) {
          if (!put(data[pos + i])) return false;
        }
        pos += static_cast<std::size_t>(code + (code & 1));
        break;
    }
  }
}

// Pictures of 8 bits or fewer on a screen deeper than 8 bits, through the colour table.
template <Format F>
bool ExpandIndexed(std::span<const std::uint8_t> data, const Header& h, Surface& out) {
  switch (h.bits) {
    case 1:  // always black and white, whatever the colour table says
      return LookupRows<F>(data, h, BlackAndWhite<F>(), out);
    case 4:
      if (h.compression == kBiRle4) break;
      return LookupRows<F>(data, h, ReadPalette<F>(data, h, 16), out);
    case 8: {
      const Palette palette = ReadPalette<F>(data, h, 256);
      if (h.compression == kBiRle8) return DecodeRle8<F>(data, h, palette, out);
      return LookupRows<F>(data, h, palette, out);
    }
    default: break;
  }
  // BI_RLE4, 2-bit, 0-bit and other odd bit counts define no pixels: the sprite has the
  // picture's size and stays black.
  return true;
}

bool ExpandIndexed(std::span<const std::uint8_t> data, const Header& h, Format format,
                   Surface& out) {
  switch (format) {
    case Format::kBgr0: return ExpandIndexed<Format::kBgr0>(data, h, out);
    case Format::kBgr: return ExpandIndexed<Format::kBgr>(data, h, out);
    case Format::kRgb555: return ExpandIndexed<Format::kRgb555>(data, h, out);
    case Format::kRgb565: return ExpandIndexed<Format::kRgb565>(data, h, out);
    case Format::kIndex8:
    case Format::kBgra: break;
  }
  return false;
}

}  // namespace

std::optional<SpritePicture> DecodeSpritePicture(std::span<const std::uint8_t> data,
                                                 int screen_depth, PixelLayout layout, int mode,
                                                 std::size_t max_pixel_bytes, bool* too_large) {
  if (too_large != nullptr) *too_large = false;
  // Only bitmaps: no other picture decoders are registered.
  if (!HasBmpSignature(data)) return std::nullopt;
  if (data.size() < kHeaderBytes) return std::nullopt;
  const Header h = ReadHeader(data.data());
  // Top-down pictures (negative height) are not supported.
  if (h.width <= 0 || h.height <= 0) return std::nullopt;

  const bool plain = mode == kSpriteModePlainMemory;
  const bool expand = screen_depth != 8 && !plain && h.bits <= 8;
  const int depth = expand ? 24 : h.bits;

  Format format = Format::kIndex8;
  if (plain) {
    if (depth != 0 && depth != 8) return std::nullopt;
  } else {
    // Pictures are converted between 16, 24 and 32 bits but never to or from 8 bits; with no
    // screen open (depth 0) nothing but a plain-memory load gets past this.
    if (depth != 0 && depth != screen_depth && (depth < 16 || screen_depth < 16)) {
      return std::nullopt;
    }
    // Other bit counts above 8 have no conversion.
    if (depth > 8 && depth != 16 && depth != 24 && depth != 32) return std::nullopt;
    // The alpha bit counts only for 32-bit pictures; others get the screen's format.
    if ((mode & kSpriteModeAlphaBit) != 0 && depth == 32) {
      format = Format::kBgra;
    } else {
      const std::optional<Format> screen = ScreenFormat(screen_depth, layout);
      if (!screen) return std::nullopt;
      format = *screen;
    }
  }
  if (!Surface::SizeIsValid(h.width, h.height, BytesOf(format))) return std::nullopt;
  if (static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.height) * BytesOf(format) >
      max_pixel_bytes) {
    if (too_large != nullptr) *too_large = true;
    return std::nullopt;
  }

  SpritePicture picture;
  picture.width = h.width;
  picture.height = h.height;
  picture.depth = plain ? -2 : depth;
  picture.alpha = format == Format::kBgra;
  picture.plain = plain;
  picture.pixels = Surface(h.width, h.height, BytesOf(format));

  bool ok = true;
  if (format == Format::kIndex8) {
    // A 0-bit picture defines no pixels and stays black.
    if (h.bits == 8) ok = CopyIndexRows(data, h, picture.pixels);
  } else if (expand) {
    ok = ExpandIndexed(data, h, format, picture.pixels);
  } else if (depth == 16) {
    ok = ConvertDirect<2>(data, h, format, picture.pixels);
  } else if (depth == 24) {
    ok = ConvertDirect<3>(data, h, format, picture.pixels);
  } else {
    ok = ConvertDirect<4>(data, h, format, picture.pixels);
  }
  if (!ok) return std::nullopt;
  return picture;
}

}  // namespace grumbol
