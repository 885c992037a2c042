#include "platform/sdl/sdl_icon.h"

#include <cstdint>

#include <string>

#include "platform/fish_icon.h"
#include "platform/log.h"

namespace grumbol::platform::sdl {

SurfacePtr MakeFishIcon() {
  constexpr int kSize = kFishIconUnits;
  SurfacePtr icon(SDL_CreateRGBSurfaceWithFormat(0, kSize, kSize, 32, SDL_PIXELFORMAT_ARGB8888));
  if (!icon) {
    LogDetail(std::string("video: no window icon: ") + SDL_GetError());
    return nullptr;
  }
  for (int y = 0; y < kSize; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(icon->pixels) +
                                                 y * icon->pitch);
    for (int x = 0; x < kSize; ++x) row[x] = FishIconColour(x + 0.5, y + 0.5);
  }
  return icon;
}

}  // namespace grumbol::platform::sdl
