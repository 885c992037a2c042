// Where the game finds its files: the portable layout, or the installed data and the
// player's own record folder.

#include "game/folders.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace grumbol::game
