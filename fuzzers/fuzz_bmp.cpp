// Picture loading from memory into a sprite, for every screen the game can run on and the
// modes that load differently (0, plain memory, alpha bit).
#include <cstdint>
#include <cstdlib>

#include "video/bmp_loader.h"

namespace {

using grumbol::PixelLayout;

struct Screen {
  int depth;
  PixelLayout layout;
};

constexpr Screen kScreens[] = {{32, PixelLayout::kX8R8G8B8}, {24, PixelLayout::kRgb24RedHigh},
                               {16, PixelLayout::kRgb555},   {16, PixelLayout::kRgb565},
                               {8, PixelLayout::kPalette8},  {0, PixelLayout::kNone}};
constexpr int kModes[] = {0, grumbol::kSpriteModePlainMemory, grumbol::kSpriteModeAlphaBit};

// Pictures the loader accepts may be up to 256 MiB whatever the input's size (a picture that
// defines no pixels stays black). Such sizes are skipped to keep the runs fast; sizes past the
// loader's own limit still go through, so its size check is still fuzzed.
constexpr std::int64_t kMaxFuzzedPixels = std::int64_t{1} << 18;

bool TooSlow(const std::uint8_t* data, std::size_t size) {
  if (size < 26) return false;
  auto s32 = [&](std::size_t at) {
    return static_cast<std::int32_t>(data[at] | data[at + 1] << 8 | data[at + 2] << 16 |
                                     static_cast<std::uint32_t>(data[at + 3]) << 24);
  };
  const std::int64_t width = s32(18), height = s32(22);
  return width > 0 && height > 0 && width * height > kMaxFuzzedPixels &&
         grumbol::Surface::SizeIsValid(static_cast<int>(width), static_cast<int>(height), 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (TooSlow(data, size)) return 0;
  const std::span<const std::uint8_t> bytes(data, size);
  for (const Screen& screen : kScreens) {
    for (int mode : kModes) {
      const auto picture = grumbol::DecodeSpritePicture(bytes, screen.depth, screen.layout, mode);
      if (!picture) continue;
      // A loaded picture is whole: a valid surface of the size the header declares.
      const auto& pixels = picture->pixels;
      if (!pixels.Valid() || pixels.width() != picture->width ||
          pixels.height() != picture->height ||
          pixels.size_bytes() != static_cast<std::size_t>(pixels.pitch()) * pixels.height()) {
        std::abort();
      }
    }
  }
  return 0;
}
