// Where the game finds its files: the portable layout, or the installed data and the
// player's own record folder.

#include "game/folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "game/game.h"
#include "platform/posix/posix_file_system.h"
#include "runtime/data_files.h"
#include "tests/support/temp_dir.h"

namespace grumbol::game {
namespace {

TEST(Folders, PortableWithAGfxFolderHereElseInstalledWithRecordsInTheXdgDataFolder) {
  struct Case {
    bool gfx_here;
    const char* xdg_data_home;
    const char* home;
    const char* records;
  };
  const Case cases[] = {
      {false, "/data", "/home/rita", "/data/grumbol/Vusk.qzc"},
      {false, "", "/home/rita", "/home/rita/.local/share/grumbol/Vusk.qzc"},
      {false, "relative/data", "/home/rita",
       "/home/rita/.local/share/grumbol/Vusk.qzc"},  // to be ignored
  };
  for (const Case& c : cases) {
    const Folders folders =
        ChooseFolders(c.gfx_here, "/opt/games/bin/grumbol", c.xdg_data_home, c.home);
    EXPECT_FALSE(folders.portable);
    EXPECT_EQ(folders.data, "/opt/games/share/grumbol");
    EXPECT_EQ(folders.records, c.records);
  }
  const Folders here = ChooseFolders(true, "/opt/games/bin/grumbol", "/data", "/home/rita");
  EXPECT_TRUE(here.portable);
  EXPECT_TRUE(here.Mappings().empty());
}

TEST(Folders, TheGamesFileNamesReachTheInstalledDataAndTheRecordFolderIsMadeByTheFirstLine) {
  testing::TempDir dir;
  std::filesystem::create_directories(dir.path() / "usr/share/grumbol/GFX");
  testing::WriteFileBytes(dir.File("usr/share/grumbol/GFX/Back.qz"), "picture");
  const Folders folders = ChooseFolders(false, dir.File("usr/bin/grumbol"), dir.File("xdg"), "");
  platform::PosixFileSystem posix;
  platform::MappedFileSystem files(posix, folders.Mappings());
  using platform::FileAccess, platform::FileDisposition;

  EXPECT_NE(files.Open("GFX\\Back.qz", FileAccess::kRead, FileDisposition::kOpenExisting), nullptr);
  EXPECT_EQ(files.Open(Game::kRecordPath, FileAccess::kRead, FileDisposition::kOpenExisting),
            nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "xdg")) << "made before anything was written";

  DataFiles data(files);
  ASSERT_NE(data.OpenRecordFile(0, Game::kRecordPath), 0);
  data.AppendLine(0, "Rita: 10");
  data.CloseRecordFile(0);
  EXPECT_EQ(testing::ReadFileBytes(dir.File("xdg/grumbol/Vusk.qzc")), "Rita: 10\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "usr/share/grumbol/GFX/Vusk.qzc"));
}

}  // namespace
}  // namespace grumbol::game
