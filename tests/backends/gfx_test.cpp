// The default GFX set written by build/bin/make-gfx, read back through the game's own loaders.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/wave_file.h"
#include "platform/gstreamer/gst_movie_player.h"
#include "tests/support/temp_dir.h"
#include "video/bmp_loader.h"

namespace grumbol {
namespace {

namespace fs = std::filesystem;

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

TEST(DefaultGfx, TheSameFilesEachRunOpenWithTheGamesLoaders) {
  testing::TempDir dir, again;
  ASSERT_TRUE(MakeGfx(dir.path())) << Tool();
  ASSERT_TRUE(MakeGfx(again.path()));
  const fs::path gfx = dir.path() / "GFX";
  int files = 0;
  for (const auto& entry : fs::directory_iterator(gfx)) {
    const fs::path name = entry.path().filename();
    const auto bytes = Bytes(gfx / name);
    EXPECT_TRUE(bytes == Bytes(again.path() / "GFX" / name)) << name;
    const bool loads = name.extension() == ".qz"
                           ? DecodeSpritePicture(bytes, 32, PixelLayout::kX8R8G8B8, 0).has_value()
                       : name.extension() == ".qzs" ? ReadWaveSound(bytes).has_value()
                                                    : true;  // the movies are opened below
    EXPECT_TRUE(loads) << name;
    ++files;
  }
  EXPECT_EQ(files, 24);

  platform::GstMoviePlayer player;
  ASSERT_TRUE(player.Start());
  for (int n = 1; n <= 7; ++n) {
    const std::string name = "Movie" + std::to_string(n) + ".qzm";
    const auto movie = player.OpenMovie((gfx / name).string());
    ASSERT_TRUE(movie) << name;
    // The title tune has no picture.
    EXPECT_EQ(movie->PictureWidth() > 0, n > 1) << name;
  }
}

}  // namespace
}  // namespace grumbol
