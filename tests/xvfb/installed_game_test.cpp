// The game installed into a folder of its own and started as the menu starts it: from a
// working folder with nothing in it. It finds its pictures and movies in the installed data, keeps
// its record in the player's data folder, writes nothing into the installation, and says nothing on
// a machine with sound output (here OpenAL Soft's wave writer).

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/xvfb/x_player.h"

namespace grumbol {
namespace {

using namespace testing;

// Every file and folder below `root`, with its size and time of last change.
std::map<std::string, std::string> Listing(const std::filesystem::path& root) {
  std::map<std::string, std::string> listing;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const auto size = entry.is_regular_file() ? entry.file_size() : 0;
    listing[entry.path().lexically_relative(root).string()] =
        std::to_string(size) + " " +
        std::to_string(entry.last_write_time().time_since_epoch().count());
  }
  return listing;
}

TEST(XInstalled, PlaysFromAnEmptyFolderAndKeepsItsRecordInThePlayersDataFolder) {
  TempDir dir;
  const std::filesystem::path prefix = dir.path() / "usr";
  ASSERT_EQ(RunShell(std::string(GRUMBOL_CMAKE) + " --install " + GRUMBOL_BUILD_DIR +
                     " --prefix '" + prefix.string() + "' >/dev/null"),
            0);
  const auto installed = Listing(prefix);
  ASSERT_TRUE(installed.count("share/grumbol/GFX/Back.qz"));
  WriteFileBytes(dir.File("wave.conf"),
                 "[general]\ndrivers=wave\n[wave]\nfile=" + dir.File("sound.wav") + "\n");

  GameProcess game((prefix / "bin/grumbol").string(), "", {},
                   {"XDG_DATA_HOME=" + dir.File("xdg"), "ALSOFT_CONF=" + dir.File("wave.conf")});
  ASSERT_TRUE(game.Started());
  EXPECT_TRUE(game.Begin("Heim")) << "the sea and its fish are drawn";
  // Key 5 plays a movie, whose pictures lie over the sea's top-left corner.
  const Screenshot sea("installed_sea");
  // The movie restarts at every step the key is held, so it shows once the key is let go;
  // pressed again should the game not have read it (on a busy machine).
  const auto movie = [&] {
    return SameShare(sea, Screenshot("installed_movie"), {0, 24, 250, 185}) < 0.5;
  };
  EXPECT_TRUE(WaitUntil([&] { return HoldKey("5"), WaitUntil(movie, 2); }, 20))
      << "the movies are found in the installed data";
  EXPECT_EQ(game.End(), 0);

  EXPECT_EQ(game.Errors(), "");
  EXPECT_EQ(ReadFileBytes(dir.File("xdg/grumbol/Vusk.qzc")), "Heim: 0\r\n");
  EXPECT_TRUE(std::filesystem::is_empty(game.folder()));
  EXPECT_EQ(Listing(prefix), installed);
}

}  // namespace
}  // namespace grumbol
