#include "game/game.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "game/assets.h"
#include "game/scan_codes.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/game_rig.h"
#include "tests/support/test_assets.h"
#include "tests/support/working_dir.h"

namespace grumbol::game {
namespace {

using Action = platform::HeadlessInput::Action;
using Kind = Action::Kind;
using MovieEvent = platform::RecordingMoviePlayer::Event;

// A whole game on the headless backends in a folder of its own, with a fixed tick count so
// every fish comes at the same row each run.
class GameTest : public ::testing::Test {
 protected:
  void WriteAssets() { testing::WriteTestAssets(); }

  // Starts a new game with the given answers to the name dialog.
  void Start(std::vector<std::string> answers = {"Anna"}) {
    rig_ = std::make_unique<testing::GameRig>(true, file_system_, player_, std::move(answers));
    ASSERT_TRUE(rig_->Start());
  }
  bool Run(int count) { return rig_->Run(count); }
  void Do(std::vector<Action> actions) { rig_->input.Do(actions); }
  void PointAt(int x, int y) { rig_->PointAt(x, y); }
  // Press in one pass, release seen by the next: one shot.
  void Click(int x, int y) {
    PointAt(x, y);
    Do({{Kind::kButtonDown, 1}});
    Run(1);
    Do({{Kind::kButtonUp, 1}});
    Run(1);
  }
  Game& game() { return rig_->game; }
  const GameState& state() { return rig_->game.state(); }
  std::uint32_t Shown(int x, int y) { return rig_->display.LastFramePixel(x, y); }
  int HitSounds() { return rig_->audio.StartsOf(0); }
  int MissSounds() { return rig_->audio.StartsOf(1); }

  testing::WorkingDir dir_;
  platform::RecordingMoviePlayer player_{testing::kGameMovies};
  platform::PosixFileSystem file_system_;
  std::unique_ptr<testing::GameRig> rig_;
};

TEST_F(GameTest, AsksForTheNameUntilOneIsGivenThenStartsTheFirstMovie) {
  Start({"", "", " "});
  std::vector<std::string> titles;
  for (const auto& shown : rig_->dialogs.shown()) titles.push_back(shown.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"Daromir Grumbol Game", "Daromirs Grumbol Game",
                                              "Name vergessen!", "Daromirs Grumbol Game",
                                              "Name vergessen!", "Daromirs Grumbol Game"}));
  EXPECT_EQ(state().player_name, " ");  // blanks are a name
  EXPECT_EQ(rig_->display.title(), "Daromirs Grumbol Game");
  EXPECT_EQ(state().fish_limit, 1);
  EXPECT_EQ(state().movie_volume, 70);
  EXPECT_EQ(state().sound_volume, 100);
  // Two starts of the title movie (the second succeeds, so no third), each stopping it first.
  EXPECT_EQ(player_.events(), (std::vector<MovieEvent>{{"GFX\\Movie1.qzm", false},
                                                       {"GFX\\Movie1.qzm", true},
                                                       {"GFX\\Movie1.qzm", false},
                                                       {"GFX\\Movie1.qzm", true}}));
}

TEST_F(GameTest, WithoutADisplayTheProgramSaysSoAndEndsBeforeAskingForTheName) {
  testing::GameRig rig(true, file_system_, player_, {"Anna"});
  rig.dialogs.SetAvailable(false);
  std::ostringstream errors;
  EXPECT_EQ(rig.game.Run(errors), 1);
  EXPECT_NE(errors.str().find("no display"), std::string::npos);
  EXPECT_TRUE(rig.dialogs.shown().empty());
}

TEST_F(GameTest, AnUnshotFishCrossesIn513FramesThenAnimates27) {
  WriteAssets();
  Start();
  Run(1);  // pass 0 spawns, after its drawing
  ASSERT_EQ(state().fish.state[1], kSwimming);
  const int y = state().fish.y[1];
  for (int frame = 1; frame <= 513; ++frame) {
    ASSERT_EQ(state().fish.x[1], -120 + 2 * (frame - 1)) << frame;
    Run(1);
    if (frame == 100) {
      EXPECT_EQ(Shown(-120 + 2 * 99 + 1, y + 1), testing::FishPicturePixel(FishFrame(1)));
    }
  }
  EXPECT_EQ(state().fish.state[1], kEscaped);
  EXPECT_EQ(state().fish.x[1], 906);
  EXPECT_EQ(state().misses, 1);
  EXPECT_EQ(MissSounds(), 1);
  for (int frame = 514; frame <= 540; ++frame) {
    ASSERT_EQ(state().fish.state[1], kEscaped) << frame;
    Run(1);
    EXPECT_EQ(Shown(907, y + 1), testing::FishPicturePixel(FishFrame(1 + (frame - 514) / 3)))
        << frame;
  }
  EXPECT_EQ(state().fish.state[1], kFree);
  EXPECT_EQ(state().fish.x[1], 906);  // escaped fish do not move
}

TEST_F(GameTest, TheShotHitsStrictlyInsideTheBoxOncePerPressAndEveryFishUnderThePointer) {
  WriteAssets();
  Start();
  Run(100);
  FishField& fish = game().state().fish;
  const int y = fish.y[1];
  for (auto [dx, dy] : {std::pair{0, 10}, {97, 10}, {50, 0}, {50, 32}}) {  // on the edges
    Click(fish.x[1] + dx, y + dy);
    ASSERT_EQ(fish.state[1], kSwimming) << dx << "," << dy;
  }
  PointAt(fish.x[1] + 1, y + 1);
  Do({{Kind::kButtonDown, 1}});
  Run(1);
  EXPECT_EQ(fish.state[1], kHit);
  EXPECT_EQ(state().score, 10);
  EXPECT_EQ(HitSounds(), 1);
  const int x = fish.x[1];
  Run(25);
  EXPECT_EQ(Shown(x + 2 * 25, y + 1),
            testing::FishPicturePixel(FishFrame(9)));  // the last of 27 frames, drifting right
  Run(1);
  EXPECT_EQ(fish.state[1], kFree);

  // A held button fires once: a fish coming under it is not hit until it is pressed again.
  for (int i : {2, 3}) {
    fish.state[i] = kSwimming;
    fish.x[i] = 300;
    fish.y[i] = 300;
    fish.anim_counter[i] = 3;
  }
  PointAt(360, 310);
  Run(1);
  EXPECT_EQ(fish.state[2], kSwimming);
  Do({{Kind::kButtonUp, 1}});
  Run(1);
  Click(fish.x[2] + 50, 310);  // two fish on top of each other: one shot hits both
  EXPECT_EQ(state().score, 30);
  EXPECT_EQ(HitSounds(), 3);
  EXPECT_EQ(fish.state[3], kHit);
}

TEST_F(GameTest, TheFishLimitGrowsWithTheScoreAndTheEleventhMissEnds) {
  Start();
  Run(300);
  int occupied = 0;
  for (int i = 1; i <= 20; ++i) occupied += state().fish.state[i] != kFree ? 1 : 0;
  EXPECT_EQ(occupied, 1);
  // Second cheat: ten points a frame while held, with the cheat name only.
  Start({"Quorvel"});
  Run(1);  // the mouse is taken at the first poll
  Do({{Kind::kKeyDown, DIK_C},
      {Kind::kKeyDown, DIK_D},
      {Kind::kKeyDown, DIK_Z},
      {Kind::kButtonDown, 2}});
  Run(10);
  EXPECT_EQ(state().score, 100);
  EXPECT_EQ(state().cheat_mark, "     =>  cheated");
  EXPECT_EQ(state().fish_limit, 2);  // grows one step per frame after the score
  Run(190);
  EXPECT_EQ(state().fish_limit, 21);
  Do({{Kind::kKeyUp, DIK_C}});
  while (game().RunFrame()) ASSERT_LE(state().misses, 10);
  EXPECT_EQ(state().misses, 11);
}

TEST_F(GameTest, EscapeEndsTheGameAfterItsPassHasRunToTheEnd) {
  Start();
  Run(5);
  Do({{Kind::kKeyDown, DIK_ESCAPE}});
  const int x = state().fish.x[1];
  EXPECT_FALSE(game().RunFrame());
  EXPECT_EQ(state().fish.x[1], x + 2);  // the update still ran
}

TEST_F(GameTest, HotKeysVolumesOverlaysAndSplash) {
  WriteAssets();
  Start();
  Do({{Kind::kKeyDown, DIK_O}, {Kind::kKeyDown, DIK_L}});
  Run(100);
  EXPECT_EQ(state().movie_volume, -30);  // not bounded: the media layer clamps
  EXPECT_EQ(state().sound_volume, 200);
  Do({{Kind::kKeyUp, DIK_O},
      {Kind::kKeyUp, DIK_L},
      {Kind::kKeyDown, DIK_1},
      {Kind::kKeyDown, DIK_3}});
  Run(1);
  for (auto [x, y] : {std::pair{0, 0}, {0, 588}, {760, 588}, {760, 0}})
    EXPECT_EQ(Shown(x + 30, y + 30), 0xC0C0C1u);
  for (auto [x, y] : {std::pair{428, 0}, {832, 305}, {428, 610}, {0, 305}})
    EXPECT_EQ(Shown(x + 30, y + 30), 0xC0C0C3u);
  Do({{Kind::kKeyUp, DIK_1}, {Kind::kKeyUp, DIK_3}});
  Run(1);
  EXPECT_EQ(Shown(30, 618), testing::kBackgroundPixel);  // shown only while held

  Do({{Kind::kKeyDown, DIK_4}});
  const std::uint32_t before = rig_->clock.TickCount();
  Run(1);
  EXPECT_GE(rig_->clock.TickCount() - before, 1500u);
  EXPECT_EQ(rig_->display.frames_presented() >= 2, true);
  Do({{Kind::kKeyUp, DIK_4}});
}

TEST_F(GameTest, MovieKeysInTheirOrderAndTheScoreMovieAtExactly2200) {
  Start({"Quorvel"});
  player_.events().clear();
  Do({{Kind::kKeyDown, DIK_9}, {Kind::kKeyDown, DIK_5}});
  Run(1);
  std::vector<MovieEvent> expected;
  for (const char* movie : {"GFX\\Movie4.qzm", "GFX\\Movie2.qzm"}) {
    for (int n = 1; n <= 7; ++n)
      expected.push_back({"GFX\\Movie" + std::to_string(n) + ".qzm", false});
    expected.push_back({movie, false});  // each start rewinds first
    expected.push_back({movie, true});
  }
  EXPECT_EQ(player_.events(), expected);
  Do({{Kind::kKeyUp, DIK_9}, {Kind::kKeyUp, DIK_5}});

  // The second cheat's ten points a frame pass 2200: one frame at exactly 2200 starts movie 7.
  Run(1);
  Do({{Kind::kKeyDown, DIK_C},
      {Kind::kKeyDown, DIK_D},
      {Kind::kKeyDown, DIK_Z},
      {Kind::kButtonDown, 2}});
  Run(219);
  const MovieEvent score_movie{"GFX\\Movie7.qzm", true};
  player_.events().clear();
  Run(1);  // from 2190 to 2200 after the test of the pass: not yet
  EXPECT_EQ(state().score, 2200);
  EXPECT_EQ(std::count(player_.events().begin(), player_.events().end(), score_movie), 0);
  Do({{Kind::kKeyUp, DIK_C}});
  Run(2);  // restarted in every pass at exactly 2200
  EXPECT_EQ(std::count(player_.events().begin(), player_.events().end(), score_movie), 2);
}

TEST_F(GameTest, TheFirstCheatWorksForTheExactNameOnly) {
  WriteAssets();
  Start({"quorvel"});
  Run(1);
  Do({{Kind::kKeyDown, DIK_F}, {Kind::kKeyDown, DIK_Z}, {Kind::kButtonDown, 2}});
  Run(5);
  EXPECT_EQ(state().cheat_mark, "");
  Start({"Quorvel"});
  Run(1);
  Do({{Kind::kKeyDown, DIK_F}, {Kind::kKeyDown, DIK_Z}, {Kind::kButtonDown, 2}});
  const std::size_t sounds_before = rig_->audio.starts().size();
  Run(30);
  EXPECT_EQ(state().cheat_mark, "     =>  cheated");
  EXPECT_EQ(state().score, 0);                                  // no points
  EXPECT_EQ(rig_->audio.starts().size() - sounds_before, 30u);  // a random entry hit every frame
}

// The record line goes at the end of the file, whatever was there.
class GameOverTest : public GameTest,
                     public ::testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(GameOverTest, ShowsTheResultAndAppendsTheRecordLine) {
  const auto& [before, first_line] = GetParam();
  std::filesystem::create_directory("GFX");
  if (!before.empty()) testing::WriteFileBytes("GFX/Vusk.qzc", before);
  Start({"Bob"});
  Do({{Kind::kKeyDown, DIK_C},
      {Kind::kKeyDown, DIK_D},
      {Kind::kKeyDown, DIK_Z},
      {Kind::kKeyDown, DIK_ESCAPE}});
  EXPECT_FALSE(game().RunFrame());
  game().GameOver();
  EXPECT_FALSE(rig_->display.screen_open());
  EXPECT_EQ(rig_->dialogs.shown().back().title, "Game Over");
  EXPECT_EQ(rig_->dialogs.shown().back().text, "Du hast 0 Punkte erreicht!");
  EXPECT_EQ(testing::ReadFileBytes("GFX/Vusk.qzc"), before + first_line + "Bob: 0\r\n");
  EXPECT_EQ(player_.events().back(), (MovieEvent{"GFX\\Movie1.qzm", false}));
}

INSTANTIATE_TEST_SUITE_P(
    RecordFiles, GameOverTest,
    ::testing::Values(std::pair{std::string(), std::string()},
                      std::pair{std::string("Anna: 120\r\n"), std::string("Anna: 120")},
                      std::pair{std::string("\r\nAnna: 120\r\n"), std::string()},
                      std::pair{std::string("Anna: 1\r\n") + std::string(5000, 'x') + "\r\n",
                                std::string("Anna: 1")}));

}  // namespace
}  // namespace grumbol::game
