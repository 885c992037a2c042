#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace grumbol::testing {

// A small GFX set for whole-game tests: solid pictures whose pixels tell which picture was
// drawn (as the 32-bit screen stores them), short sounds, and no movies.
inline constexpr std::uint32_t kBackgroundPixel = 0x102030;
inline std::uint32_t FishPicturePixel(int picture_slot) {
  return 0x00A000u + static_cast<std::uint32_t>(picture_slot);
}
inline std::uint32_t OverlayPixel(int n) { return 0xC0C0C0u + static_cast<std::uint32_t>(n); }
// The cross-hair is a plus of this colour through (16, 16) of its 32 x 32 picture, keyed
// elsewhere.
inline constexpr std::uint32_t kCrossHairPixel = 0x00FF01;

// Bytes of a solid 24-bit BMP picture whose pixels read `pixel` on a 32-bit screen.
std::string SolidPicture(int width, int height, std::uint32_t pixel);
// Bytes of a short 16-bit mono RIFF WAVE sound.
std::string ShortSound();

// Writes GFX/ in the working directory with every asset file of the game: each gets
// content(name, the content above), movies empty.
using AssetContent = std::function<std::string(const std::string& name, const std::string& good)>;
void WriteTestAssets(const AssetContent& content = [](const std::string&, const std::string& good) {
  return good;
});

}  // namespace grumbol::testing
