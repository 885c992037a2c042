#include "tests/support/test_assets.h"

#include <filesystem>

#include "game/assets.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wave_writer.h"

namespace grumbol::testing {

std::string SolidPicture(int width, int height, std::uint32_t pixel) {
  const auto bytes = Picture24(width, height, [=](int, int) { return pixel; });
  return std::string(bytes.begin(), bytes.end());
}

std::string ShortSound() {
  const auto bytes = MakeWave({.samples = Le({0, 1000, -1000, 0}, 2)});
  return std::string(bytes.begin(), bytes.end());
}

namespace {

std::string CrossHair() {
  const auto bytes = Picture24(
      32, 32, [](int x, int y) { return x == 16 || y == 16 ? kCrossHairPixel : 0xFF00FF; });
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::pair<std::string, std::string>> TestAssets() {
  std::vector<std::pair<std::string, std::string>> assets{
      {"Back.qz", SolidPicture(1024, 768, kBackgroundPixel)},
      {"Kreuz.qz", CrossHair()},
      {"Pause.qz", SolidPicture(64, 64, 0x404040)}};
  for (int n = 1; n <= game::kFishFrames; ++n) {
    const std::uint32_t pixel = FishPicturePixel(game::FishFrame(n));
    assets.push_back({"Vusk" + std::to_string(n) + ".qz", SolidPicture(97, 32, pixel)});
  }
  for (int n = 1; n <= 3; ++n) {
    assets.push_back({"Gay" + std::to_string(n) + ".qz", SolidPicture(40, 40, OverlayPixel(n))});
  }
  for (const char* name : {"Sound1.qzs", "Sound2.qzs"}) assets.push_back({name, ShortSound()});
  for (int n = 1; n <= 7; ++n) assets.push_back({"Movie" + std::to_string(n) + ".qzm", ""});
  return assets;
}

}  // namespace

void WriteTestAssets(const AssetContent& content) {
  std::filesystem::create_directory("GFX");
  for (const auto& [name, good] : TestAssets()) {
    WriteFileBytes("GFX/" + name, content(name, good));
  }
}

}  // namespace grumbol::testing
