// The default GFX set written by build/bin/make-gfx, read back through the game's own loaders.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "audio/wave_file.h"
#include "platform/gstreamer/gst_movie_player.h"
#include "tests/support/temp_dir.h"
#include "video/bmp_loader.h"

namespace grumbol {
namespace {

namespace fs = std::filesystem;
constexpr std::uint32_t kKey = 0xFF00FF;

// make-gfx is built beside the test program.
fs::path Tool() { return fs::read_symlink("/proc/self/exe").parent_path() / "make-gfx"; }

// Runs the tool into `dir`; true when it reports success. GLib and fontconfig keep memory
// for the life of the process, which a sanitizer build would report as leaks at its exit.
bool MakeGfx(const fs::path& dir) {
  const std::string command = "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 '" + Tool().string() +
                              "' '" + dir.string() + "' >/dev/null";
  return std::system(command.c_str()) == 0;
}

std::vector<std::uint8_t> Bytes(const fs::path& path) { return testing::ReadFileData(path); }

SpritePicture Picture(const fs::path& gfx, const std::string& name) {
  auto picture = DecodeSpritePicture(Bytes(gfx / name), 32, PixelLayout::kX8R8G8B8, 0);
  if (!picture) ADD_FAILURE() << name << " does not load";
  return picture ? std::move(*picture) : SpritePicture{};
}

struct Box {
  int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
};
// The smallest box holding every pixel that is not the key colour.
Box Drawn(const SpritePicture& picture) {
  Box box;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      if ((picture.pixels.PixelAt(x, y) & 0xFFFFFF) != kKey)
        box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
               std::max(box.bottom, y)};
  return box;
}

TEST(DefaultGfx, TheSameFilesEachRunOpenWithTheGamesLoadersAndFitTheGame) {
  testing::TempDir dir, again;
  ASSERT_TRUE(MakeGfx(dir.path())) << Tool();
  ASSERT_TRUE(MakeGfx(again.path()));
  const fs::path gfx = dir.path() / "GFX";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(gfx)) {
    const fs::path name = entry.path().filename();
    EXPECT_TRUE(Bytes(gfx / name) == Bytes(again.path() / "GFX" / name)) << name;
    ++files;
  }
  EXPECT_EQ(files, 24);

  const SpritePicture back = Picture(gfx, "Back.qz");
  ASSERT_EQ(back.width, 1024);
  ASSERT_EQ(back.height, 768);
  // The score line's rows are one calm colour; below them the water changes.
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 1024; x += 7)
      ASSERT_EQ(back.pixels.PixelAt(x, y), back.pixels.PixelAt(0, 0)) << x << "," << y;
  EXPECT_NE(back.pixels.PixelAt(512, 400), back.pixels.PixelAt(0, 0));
  const Box aim = Drawn(Picture(gfx, "Kreuz.qz"));
  EXPECT_EQ(aim.left + aim.right, 32) << "cross-hair centred on column 16";
  EXPECT_EQ(aim.top + aim.bottom, 32) << "cross-hair centred on row 16";
  // Every fish picture stays inside the hit box (columns 1..96, rows 1..31); the live fish
  // fills most of it.
  for (int n = 1; n <= 9; ++n) {
    const Box box = Drawn(Picture(gfx, "Vusk" + std::to_string(n) + ".qz"));
    EXPECT_TRUE(box.left >= 1 && box.top >= 1 && box.right <= 96 && box.bottom <= 31) << n;
    EXPECT_TRUE(n > 1 || (box.right - box.left) * (box.bottom - box.top) >= 85 * 25);
  }
  for (const auto& [name, width, height] : {std::tuple{"Pause.qz", 1024, 768},
                                            {"Gay1.qz", 264, 180},
                                            {"Gay2.qz", 404, 404},
                                            {"Gay3.qz", 192, 158}}) {
    const SpritePicture overlay = Picture(gfx, name);
    EXPECT_TRUE(overlay.width <= width && overlay.height <= height) << name;
    EXPECT_EQ(overlay.pixels.PixelAt(0, 0) & 0xFFFFFF, kKey) << name << ": keyed background";
  }

  for (const auto& [name, longest] : {std::pair{"Sound1.qzs", 0.5}, {"Sound2.qzs", 1.0}}) {
    const auto sound = ReadWaveSound(Bytes(gfx / name));
    ASSERT_TRUE(sound) << name;
    const double seconds = sound->bytes.size() / 4.0 / sound->rate;  // stereo 16-bit on the device
    EXPECT_TRUE(seconds > 0.1 && seconds < longest) << name;
  }

  platform::GstMoviePlayer player;
  ASSERT_TRUE(player.Start());
  for (int n = 1; n <= 7; ++n) {
    const std::string name = "Movie" + std::to_string(n) + ".qzm";
    const auto movie = player.OpenMovie((gfx / name).string());
    ASSERT_TRUE(movie) << name;
    // The title tune has no picture.
    EXPECT_TRUE(n == 1 ? movie->PictureWidth() == -1
                       : movie->PictureWidth() > 0 && movie->PictureWidth() <= 320 &&
                             movie->PictureHeight() <= 240)
        << name;
    gint64 length = 0;
    ASSERT_TRUE(gst_element_query_duration(movie->playbin(), GST_FORMAT_TIME, &length)) << name;
    EXPECT_TRUE(length >= 3 * GST_SECOND && length <= 8 * GST_SECOND) << name;
  }
}

}  // namespace
}  // namespace grumbol
