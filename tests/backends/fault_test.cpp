// Faults a player's machine and files can bring, met by a whole headless game: each case
// plays a game through and checks what the player gets and that no record is lost.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

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
using testing::kBackgroundPixel;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

const std::uint32_t kFishPixel = testing::FishPicturePixel(FishFrame(1));  // drawn while swimming

std::string Noise(std::size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Like the file system of a player who is not root: a file without write permission does
// not open for writing (root, running these tests, would be let through).
class PermissionFileSystem final : public platform::FileSystem {
 public:
  std::unique_ptr<platform::File> Open(const std::string& path, platform::FileAccess access,
                                       platform::FileDisposition disposition) override {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    struct stat info {};
    if (access != platform::FileAccess::kRead && ::stat(native.c_str(), &info) == 0 &&
        (info.st_mode & S_IWUSR) == 0) {
      return nullptr;
    }
    return real_.Open(path, access, disposition);
  }

 private:
  platform::PosixFileSystem real_;
};

class FaultTest : public ::testing::Test {
 protected:
  // Plays a game as "Bob": every overlay and volume key, a movie key, the splash, one
  // shot at the first fish, then Escape and the end. The rig is left for a look.
  std::unique_ptr<GameRig> Play(bool sound_device = true) {
    auto rig = std::make_unique<GameRig>(sound_device, file_system_, player_,
                                         std::vector<std::string>{"Bob"});
    EXPECT_TRUE(rig->Start());
    EXPECT_TRUE(rig->Run(100));
    for (int key : {DIK_1, DIK_2, DIK_3, DIK_4, DIK_0, DIK_L}) rig->Do(Kind::kKeyDown, key);
    EXPECT_TRUE(rig->Run(2));
    for (int key : {DIK_1, DIK_2, DIK_3, DIK_4, DIK_0, DIK_L}) rig->Do(Kind::kKeyUp, key);
    EXPECT_TRUE(rig->Run(1));
    Shoot(*rig);
    rig->Do(Kind::kKeyDown, DIK_ESCAPE);
    EXPECT_FALSE(rig->game.RunFrame());
    rig->game.GameOver();
    EXPECT_EQ(rig->dialogs.shown().back().title, "Game Over");
    EXPECT_EQ(rig->dialogs.shown().back().text, "Du hast 10 Punkte erreicht!");
    EXPECT_GE(rig->display.frames_presented(), 100);
    return rig;
  }
  // Shoots the first fish, swimming on screen: ten points.
  static void Shoot(GameRig& rig) {
    const FishField& fish = rig.game.state().fish;
    ASSERT_EQ(fish.state[1], kSwimming);
    rig.PointAt(fish.x[1] + 50, fish.y[1] + 10);
    rig.Do(Kind::kButtonDown, 1);
    EXPECT_TRUE(rig.Run(1));
    rig.Do(Kind::kButtonUp, 1);
    EXPECT_TRUE(rig.Run(1));
    EXPECT_EQ(rig.game.state().score, 10);
  }

  testing::WorkingDir dir_;
  PermissionFileSystem file_system_;
  platform::GstMoviePlayer player_;
};

// Assets missing, empty, cut short or of another kind under the right name: the game plays
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
  if (!GetParam().sound_device) {
    EXPECT_TRUE(rig->audio.starts().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, AssetFaults,
    ::testing::Values(
        AssetFault{"NoSoundDevice",
                   [](const std::string&, const std::string& good) { return good; }, true, false},
        AssetFault{"NoGfxFolder", {}, false},
        AssetFault{"SomeFilesOnly",
                   [](const std::string& name, const std::string& good) {
                     return name == "Back.qz" || name == "Vusk1.qz" || name == "Sound1.qzs"
                                ? good
                                : "<missing>";
                   }},
        AssetFault{"EmptyFiles",
                   [](const std::string&, const std::string&) { return std::string(); }},
        AssetFault{"TruncatedFiles",
                   [](const std::string&, const std::string& good) {
                     return good.substr(0, good.size() / 2);
                   }},
        AssetFault{"CutInTheHeader",
                   [](const std::string&, const std::string& good) { return good.substr(0, 20); }},
        AssetFault{"WrongKindUnderTheRightName",
                   [](const std::string& name, const std::string&) {
                     if (name.ends_with(".qz")) return testing::ShortSound();
                     if (name.ends_with(".qzs")) return testing::SolidPicture(8, 8, 0x123456);
                     return Noise(20000);  // random bytes as a movie
                   }}),
    [](const ::testing::TestParamInfo<AssetFault>& info) { return std::string(info.param.name); });

TEST_F(FaultTest, SomeAssetsOnlyTheOnesThereAreDrawn) {
  testing::WriteTestAssets([](const std::string& name, const std::string& good) {
    return name == "Back.qz" || name == "Vusk1.qz" ? good : "<missing>";
  });
  GameRig rig(true, file_system_, player_, {"Bob"});
  ASSERT_TRUE(rig.Start());
  rig.Do(Kind::kKeyDown, DIK_1);  // its overlay picture is missing
  ASSERT_TRUE(rig.Run(100));
  const FishField& fish = rig.game.state().fish;
  EXPECT_EQ(rig.display.LastFramePixel(fish.x[1] - 1, fish.y[1] + 1),
            kFishPixel);  // drawn before its step
  EXPECT_EQ(rig.display.LastFramePixel(30, 618), kBackgroundPixel);
}

// The record file refused or odd: the game ends as always and what was there stays.
struct RecordFault {
  const char* name;
  std::function<void()> make;
  std::string before;  // the file's content before, or "<dir>" for a folder in its place
  std::string after;
};

class RecordFaults : public FaultTest, public ::testing::WithParamInterface<RecordFault> {};

TEST_P(RecordFaults, TheGameEndsAndNothingIsLost) {
  testing::WriteTestAssets();
  GetParam().make();
  Play();
  if (GetParam().before == "<dir>") {
    EXPECT_TRUE(std::filesystem::is_directory("GFX/Vusk.qzc"));
    EXPECT_TRUE(std::filesystem::is_empty("GFX/Vusk.qzc"));
  } else {
    EXPECT_EQ(ReadFileBytes("GFX/Vusk.qzc"), GetParam().after);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RecordFaults,
    ::testing::Values(
        RecordFault{"ReadOnly",
                    [] {
                      WriteFileBytes("GFX/Vusk.qzc", "Anna: 120\r\n");
                      std::filesystem::permissions("GFX/Vusk.qzc",
                                                   std::filesystem::perms::owner_read);
                    },
                    "Anna: 120\r\n", "Anna: 120\r\n"},
        RecordFault{"ADirectoryInItsPlace",
                    [] { std::filesystem::create_directory("GFX/Vusk.qzc"); }, "<dir>", ""},
        // The bytes are kept; the new line follows them, as a read then a write would put it.
        RecordFault{"NoLineEndAtTheEnd", [] { WriteFileBytes("GFX/Vusk.qzc", "Anna: 120"); },
                    "Anna: 120", "Anna: 120Anna: 120Bob: 10\r\n"}),
    [](const ::testing::TestParamInfo<RecordFault>& info) { return std::string(info.param.name); });

TEST_F(FaultTest, FocusLostAndRegainedMidGameKeepsSpritesAndTheGameGoesOn) {
  testing::WriteTestAssets();
  GameRig rig(true, file_system_, player_, {"Bob"});
  ASSERT_TRUE(rig.Start());
  ASSERT_TRUE(rig.Run(60));
  const int presented = rig.display.frames_presented();
  rig.display.InjectEvent(platform::WindowEvent::kFocusLost);
  rig.input.SetForeground(false);
  const std::uint64_t away_from = rig.clock.Microseconds();
  ASSERT_TRUE(rig.Run(30));  // the loop runs on at its beat, showing nothing
  EXPECT_EQ(rig.display.frames_presented(), presented);
  EXPECT_EQ(rig.clock.Microseconds() - away_from, 500'000u);

  rig.display.InjectEvent(platform::WindowEvent::kFocusGained);
  rig.input.SetForeground(true);
  ASSERT_TRUE(rig.Run(2));
  EXPECT_EQ(rig.display.restores(), 1);
  EXPECT_EQ(rig.display.frames_presented(),
            presented + 1);  // the first frame back restores the screen
  const FishField& fish = rig.game.state().fish;
  EXPECT_EQ(rig.display.LastFramePixel(fish.x[1] - 2 + 1, fish.y[1] + 1),
            kFishPixel);  // drawn before its step
  EXPECT_EQ(rig.display.LastFramePixel(30, 618), kBackgroundPixel);
  Shoot(rig);  // the mouse is taken again
  rig.Do(Kind::kKeyDown, DIK_ESCAPE);
  EXPECT_FALSE(rig.game.RunFrame());
  rig.game.GameOver();
  EXPECT_EQ(ReadFileBytes("GFX/Vusk.qzc"), "Bob: 10\r\n");
}

}  // namespace
}  // namespace grumbol::game
