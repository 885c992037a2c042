// Faults a player's machine and files can bring, met by a whole headless game: each case
// plays a game through and checks what the player gets and that no record is lost.

#include <gtest/gtest.h>

#include <filesystem>

#include "game/assets.h"
#include "game/scan_codes.h"
#include "platform/gstreamer/gst_movie_player.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/game_rig.h"
#include "tests/support/test_assets.h"
#include "tests/support/working_dir.h"

namespace grumbol::game {
namespace {

using Kind = platform::HeadlessInput::Action::Kind;
using testing::GameRig;
using testing::ReadFileBytes;

class FaultTest : public ::testing::Test {
 protected:
  // Shoots the first fish, swimming on screen: ten points.
  static void Shoot(GameRig& rig) {
    const FishField& fish = rig.game.state().fish;
    ASSERT_EQ(fish.state[1], kSwimming);
    rig.Click(fish.x[1] + 50, fish.y[1] + 10);
    EXPECT_EQ(rig.game.state().score, 10);
  }
  static void End(GameRig& rig) {
    rig.Do(Kind::kKeyDown, DIK_ESCAPE);
    EXPECT_FALSE(rig.game.RunFrame());
    rig.game.GameOver();
    EXPECT_EQ(rig.dialogs.shown().back().text, "Du hast 10 Punkte erreicht!");
  }
  // Plays a game as "Bob": every overlay, the splash, a volume and a movie key, one shot at
  // the first fish, then Escape and the end.
  std::unique_ptr<GameRig> Play(bool sound_device = true) {
    auto rig = std::make_unique<GameRig>(sound_device, file_system_, player_,
                                         std::vector<std::string>{"Bob"});
    EXPECT_TRUE(rig->Start());
    EXPECT_TRUE(rig->Run(100));
    rig->Keys(Kind::kKeyDown, {DIK_1, DIK_2, DIK_3, DIK_4, DIK_0, DIK_L});
    EXPECT_TRUE(rig->Run(2));
    rig->Keys(Kind::kKeyUp, {DIK_1, DIK_2, DIK_3, DIK_4, DIK_0, DIK_L});
    Shoot(*rig);
    End(*rig);
    return rig;
  }

  testing::WorkingDir dir_;
  platform::PosixFileSystem file_system_;
  platform::GstMoviePlayer player_;
};

// No sound device, no GFX folder, or assets of another kind under the right name: the game plays
// on without them, the shot still counts and the record line is written.
struct AssetFault {
  const char* name;
  testing::AssetContent content;  // "<missing>": none
  bool gfx_folder = true;
  bool sound_device = true;
};

class AssetFaults : public FaultTest, public ::testing::WithParamInterface<AssetFault> {};

TEST_P(AssetFaults, TheGamePlaysOnWithoutThem) {
  if (GetParam().gfx_folder) testing::WriteTestAssets(GetParam().content);
  auto rig = Play(GetParam().sound_device);
  if (GetParam().gfx_folder) {
    EXPECT_EQ(ReadFileBytes("GFX/Vusk.qzc"), "Bob: 10\r\n");
  } else {
    EXPECT_FALSE(std::filesystem::exists("GFX"));  // nowhere to keep a record
  }
  EXPECT_TRUE(GetParam().sound_device || rig->audio.starts().empty());
}

const auto kGood = [](const std::string&, const std::string& good) { return good; };

INSTANTIATE_TEST_SUITE_P(
    Faults, AssetFaults,
    ::testing::Values(AssetFault{"NoSoundDevice", kGood, true, false},
                      AssetFault{"NoGfxFolder", {}, false},
                      AssetFault{"WrongKindUnderTheRightName",
                                 [](const std::string& name, const std::string&) {
                                   if (name.ends_with(".qz")) return testing::ShortSound();
                                   if (name.ends_with(".qzs"))
                                     return testing::SolidPicture(8, 8, 0x123456);
                                   return std::string(20000, '\x5a');  // no movie
                                 }}),
    [](const ::testing::TestParamInfo<AssetFault>& info) { return std::string(info.param.name); });

// A folder where the record file belongs: the game ends as always and the folder stays.
TEST_F(FaultTest, ARecordFileThatIsAFolderIsLeftAlone) {
  testing::WriteTestAssets();
  std::filesystem::create_directory("GFX/Vusk.qzc");
  Play();
  EXPECT_TRUE(std::filesystem::is_empty("GFX/Vusk.qzc"));
}

}  // namespace
}  // namespace grumbol::game
