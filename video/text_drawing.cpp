#include "video/text_drawing.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

#include "video/blit.h"

namespace grumbol {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point starting at text[pos]; moves pos past it. A byte that does not start a
// well-formed UTF-8 sequence (stray continuation byte, overlong form, surrogate, beyond
// U+10FFFF, cut short) stands for U+FFFD and is passed over alone.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto byte_at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte_at(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = 0;
  char32_t code_point = 0;
  char32_t smallest = 0;
  if ((lead & 0xE0u) == 0xC0u) {
    length = 2;
    code_point = lead & 0x1Fu;
    smallest = 0x80;
  } else if ((lead & 0xF0u) == 0xE0u) {
    length = 3;
    code_point = lead & 0x0Fu;
    smallest = 0x800;
  } else if ((lead & 0xF8u) == 0xF0u) {
    length = 4;
    code_point = lead & 0x07u;
    smallest = 0x10000;
  }
  if (length == 0 || text.size() - pos < length) {
    ++pos;
    return kReplacementCharacter;
  }
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned next = byte_at(pos + i);
    if ((next & 0xC0u) != 0x80u) {
      ++pos;
      return kReplacementCharacter;
    }
    code_point = (code_point << 6) | (next & 0x3Fu);
  }
  if (code_point < smallest || code_point > 0x10FFFF ||
      (code_point >= 0xD800 && code_point <= 0xDFFF)) {
    ++pos;
    return kReplacementCharacter;
  }
  pos += length;
  return code_point;
}

// A packed pixel of kBytes bytes (stored little-endian, as Surface does) with red, green
// and blue at the given bit positions and widths; other bits are left as they are.
template <int kBytes, int kRedShift, int kRedBits, int kGreenShift, int kGreenBits, int kBlueShift,
          int kBlueBits>
struct PackedFormat {
  static constexpr int kBytesPerPixel = kBytes;
  static constexpr std::uint32_t Mask(int shift, int bits) { return ((1u << bits) - 1u) << shift; }
  static constexpr std::uint32_t kRedMask = Mask(kRedShift, kRedBits);
  static constexpr std::uint32_t kGreenMask = Mask(kGreenShift, kGreenBits);
  static constexpr std::uint32_t kBlueMask = Mask(kBlueShift, kBlueBits);
  static constexpr std::uint32_t kChannels = kRedMask | kGreenMask | kBlueMask;
  // 8-bit channels at bits 0 and 16 with green between: two multiplies blend all three.
  static constexpr bool kByteLanes =
      kRedBits == 8 && kGreenBits == 8 && kBlueBits == 8 && kGreenShift == 8 &&
      ((kRedShift == 0 && kBlueShift == 16) || (kRedShift == 16 && kBlueShift == 0));

  static std::uint32_t Load(const std::uint8_t* at) {
    std::uint32_t value = 0;
    std::memcpy(&value, at, kBytes);
    return value;
  }
  static void Store(std::uint8_t* at, std::uint32_t value) { std::memcpy(at, &value, kBytes); }

  // The colour in this format; each channel keeps its top bits.
  static std::uint32_t Pack(Colour colour) {
    const std::uint32_t red = colour & 0xFFu;
    const std::uint32_t green = (colour >> 8) & 0xFFu;
    const std::uint32_t blue = (colour >> 16) & 0xFFu;
    return ((red >> (8 - kRedBits)) << kRedShift) | ((green >> (8 - kGreenBits)) << kGreenShift) |
           ((blue >> (8 - kBlueBits)) << kBlueShift);
  }

  // Ink over background with weight 0..256 for the ink, in the format's own precision.
  static std::uint32_t Blend(std::uint32_t background, std::uint32_t ink, std::uint32_t weight) {
    const std::uint32_t rest = 256 - weight;
    std::uint32_t mixed = 0;
    if constexpr (kByteLanes) {
      mixed = (((ink & 0xFF00FFu) * weight + (background & 0xFF00FFu) * rest) >> 8) & 0xFF00FFu;
      mixed |= (((ink & 0x00FF00u) * weight + (background & 0x00FF00u) * rest) >> 8) & 0x00FF00u;
    } else {
      mixed = BlendChannel<kRedShift, kRedMask>(background, ink, weight, rest) |
              BlendChannel<kGreenShift, kGreenMask>(background, ink, weight, rest) |
              BlendChannel<kBlueShift, kBlueMask>(background, ink, weight, rest);
    }
    return (background & ~kChannels) | mixed;
  }

  template <int kShift, std::uint32_t kMask>
  static std::uint32_t BlendChannel(std::uint32_t background, std::uint32_t ink,
                                    std::uint32_t weight, std::uint32_t rest) {
    const std::uint32_t from = (background & kMask) >> kShift;
    const std::uint32_t to = (ink & kMask) >> kShift;
    return ((to * weight + from * rest) >> 8) << kShift;
  }
};

using Xrgb32 = PackedFormat<4, 16, 8, 8, 8, 0, 8>;        // bytes B, G, R, x
using Xbgr32 = PackedFormat<4, 0, 8, 8, 8, 16, 8>;        // bytes R, G, B, x
using Rgb24RedHigh = PackedFormat<3, 16, 8, 8, 8, 0, 8>;  // bytes B, G, R
using Bgr24RedLow = PackedFormat<3, 0, 8, 8, 8, 16, 8>;   // bytes R, G, B
using Rgb565 = PackedFormat<2, 11, 5, 5, 6, 0, 5>;
using Rgb555 = PackedFormat<2, 10, 5, 5, 5, 0, 5>;

template <class Format>
void FillWhite(Surface& surface, const Clip& clip) {
  for (int y = clip.y0; y < clip.y1; ++y) {
    std::uint8_t* at = surface.Row(y) + static_cast<std::size_t>(clip.x0) * Format::kBytesPerPixel;
    for (int x = clip.x0; x < clip.x1; ++x, at += Format::kBytesPerPixel) {
      Format::Store(at, Format::Load(at) | Format::kChannels);
    }
  }
}

template <class Format>
void BlendGlyph(Surface& surface, const GlyphCache::Glyph& glyph, const std::uint8_t* coverage,
                std::int64_t left, std::int64_t top, std::uint32_t ink) {
  const Clip clip = ClipTo(surface, left, top, left + glyph.width, top + glyph.height);
  if (clip.Empty()) return;
  for (int y = clip.y0; y < clip.y1; ++y) {
    const std::uint8_t* weights =
        coverage + static_cast<std::size_t>(y - top) * static_cast<std::size_t>(glyph.width) +
        static_cast<std::size_t>(clip.x0 - left);
    std::uint8_t* at = surface.Row(y) + static_cast<std::size_t>(clip.x0) * Format::kBytesPerPixel;
    for (int x = clip.x0; x < clip.x1; ++x, ++weights, at += Format::kBytesPerPixel) {
      const std::uint32_t weight = *weights;
      if (weight == 0) continue;
      const std::uint32_t background = Format::Load(at);
      Format::Store(at, weight == 255 ? (background & ~Format::kChannels) | ink
                                      : Format::Blend(background, ink, weight + (weight >> 7)));
    }
  }
}

// Draws the text in one pixel format and returns its width. `width` is the text's width
// when already measured (needed first for the opaque box), or -1.
template <class Format>
std::int64_t DrawInFormat(Surface& surface, GlyphCache& glyphs, std::int64_t x, std::int64_t y,
                          std::string_view text, Colour colour, std::int64_t width) {
  if (width >= 0) {
    FillWhite<Format>(surface, ClipTo(surface, x, y, x + width, y + glyphs.LineHeight()));
  }
  const std::uint32_t ink = Format::Pack(colour);
  std::int64_t pen = x;
  for (std::size_t pos = 0; pos < text.size();) {
    const GlyphCache::Glyph& glyph = glyphs.Find(NextCodePoint(text, pos));
    if (glyph.width > 0) {
      BlendGlyph<Format>(surface, glyph, glyphs.Coverage(glyph), pen + glyph.left, y + glyph.top,
                         ink);
    }
    pen += glyph.advance;
  }
  return pen - x;
}

}  // namespace

TextDrawing::TextDrawing(platform::FontSource& fonts) : fonts_(&fonts) {}

TextDrawing::TextDrawing(std::unique_ptr<platform::Font> font)
    : glyphs_(std::in_place, std::move(font)) {}

GlyphCache& TextDrawing::Glyphs() {
  if (!glyphs_) glyphs_.emplace(fonts_->OpenFont(kFontPattern, kFontPixelSize));
  return *glyphs_;
}

int TextDrawing::BeginTextDrawing(std::optional<DrawingTarget> target) {
  EndTextDrawing();
  if (!target || target->surface == nullptr) return 0;
  target_ = std::move(target);
  mode_flags_ = 0;
  ink_ = 0;
  return 1;
}

void TextDrawing::SetBackgroundMode(int flags) {
  if (target_) mode_flags_ = flags;
}

void TextDrawing::SetInkColour(Colour colour) {
  if (target_) ink_ = colour;
}

std::int64_t TextDrawing::MeasureText(std::string_view text) {
  GlyphCache& glyphs = Glyphs();
  std::int64_t width = 0;
  for (std::size_t pos = 0; pos < text.size();)
    width += glyphs.Find(NextCodePoint(text, pos)).advance;
  return width;
}

int TextDrawing::DrawTextAt(int x, int y, std::string_view text) {
  if (!target_) return 0;
  GlyphCache& glyphs = Glyphs();
  if (text.empty() || !glyphs.HasFont()) return x;
  Surface& surface = *target_->surface;
  const std::int64_t box_width =
      (mode_flags_ & kTransparentBackground) != 0 ? -1 : MeasureText(text);
  auto draw = [&]<class Format>(Format) -> std::int64_t {
    if (surface.bytes_per_pixel() != Format::kBytesPerPixel) return MeasureText(text);
    return DrawInFormat<Format>(surface, glyphs, x, y, text, ink_, box_width);
  };
  std::int64_t width = 0;
  switch (target_->layout) {
    case PixelLayout::kX8R8G8B8: width = draw(Xrgb32{}); break;
    case PixelLayout::kX8B8G8R8: width = draw(Xbgr32{}); break;
    case PixelLayout::kRgb24RedHigh: width = draw(Rgb24RedHigh{}); break;
    case PixelLayout::kBgr24RedLow: width = draw(Bgr24RedLow{}); break;
    case PixelLayout::kRgb565: width = draw(Rgb565{}); break;
    case PixelLayout::kRgb555: width = draw(Rgb555{}); break;
    default:  // palette or unknown: nothing to draw in, but the text still has its width
      width = MeasureText(text);
      break;
  }
  // Positions are 32-bit on the screen's side; a sum beyond that wraps as it would there.
  return static_cast<int>(static_cast<std::int64_t>(x) + width);
}

void TextDrawing::EndTextDrawing() {
  if (!target_) return;
  // Closed before the release runs, so a release that starts drawing again finds it closed.
  std::function<void()> release = std::move(target_->release);
  target_.reset();
  if (release) release();
}

}  // namespace grumbol
