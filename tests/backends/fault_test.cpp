// What a player's files and name can be, met by a whole headless game with the real movie
// player: it plays on, the shot still counts, and the record line goes where it can. (Games
// without a sound device are played by the soak.)

#include <gtest/gtest.h>

#include <filesystem>

#include "game/replay.h"
#include "game/scan_codes.h"
#include "platform/gstreamer/gst_movie_player.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/game_rig.h"
#include "tests/support/test_assets.h"
#include "tests/support/working_dir.h"

namespace grumbol::game {
namespace {

using Kind = platform::HeadlessInput::Action::Kind;
using testing::ReadFileBytes;

TEST(Faults, TheGamePlaysOnWithoutItsFilesAndLeavesAloneWhatIsNotItsOwn) {
  const testing::WorkingDir dir;
  platform::PosixFileSystem file_system;
  platform::GstMoviePlayer player;
  // A game, recorded when a replay file is named: every overlay, the splash, a volume and a
  // movie key, a shot at the first fish for ten points, then Escape and the end.
  const auto play = [&](const std::string& name = "Bob", const std::string& replay = "") {
    testing::GameRig rig(true, file_system, player, {name}, 4242, replay);
    EXPECT_TRUE(rig.Start());
    EXPECT_TRUE(rig.Run(100));
    rig.Keys(Kind::kKeyDown, {DIK_1, DIK_2, DIK_3, DIK_4, DIK_0, DIK_L});
    EXPECT_TRUE(rig.Run(2));
    rig.Keys(Kind::kKeyUp, {DIK_1, DIK_2, DIK_3, DIK_4, DIK_0, DIK_L});
    const FishField& fish = rig.game.state().fish;
    ASSERT_EQ(fish.state[1], kSwimming);
    rig.Click(fish.x[1] + 50, fish.y[1] + 10);
    rig.Do(Kind::kKeyDown, DIK_ESCAPE);
    EXPECT_FALSE(rig.game.RunFrame());
    rig.game.GameOver();
    EXPECT_EQ(rig.dialogs.shown().back().text, "Du hast 10 Punkte erreicht!");
    if (rig.recorder) rig.recorder->Finish();
  };

  play(std::string(5000, 'N'), "game.replay");  // a name longer than a replay holds
  EXPECT_FALSE(std::filesystem::exists("GFX")) << "no GFX folder: nowhere to keep a record";
  const ReplayReading recorded = ReadReplay(ReadFileBytes("game.replay"));
  ASSERT_TRUE(recorded.replay) << recorded.error;
  EXPECT_TRUE(VerifyReplay(*recorded.replay).same);

  testing::WriteTestAssets([](const std::string& name, const std::string&) {
    if (name.ends_with(".qz")) return testing::ShortSound();
    if (name.ends_with(".qzs")) return testing::SolidPicture(8, 8, 0x123456);
    return std::string(20000, '\x5a');  // no movie
  });
  play();  // assets of another kind under the right names
  EXPECT_EQ(ReadFileBytes("GFX/Vusk.qzc"), "Bob: 10\r\n");

  testing::WriteTestAssets();
  std::filesystem::remove("GFX/Vusk.qzc");
  std::filesystem::create_directory("GFX/Vusk.qzc");
  play();  // a folder where the record file belongs
  EXPECT_TRUE(std::filesystem::is_empty("GFX/Vusk.qzc"));
}

}  // namespace
}  // namespace grumbol::game
