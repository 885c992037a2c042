#include "game/game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "game/assets.h"
#include "game/scan_codes.h"
#include "platform/posix/posix_file_system.h"
#include "platform/surface.h"
#include "runtime/random.h"
#include "runtime/text.h"
#include "tests/support/game_font.h"
#include "tests/support/game_rig.h"
#include "tests/support/test_assets.h"
#include "tests/support/working_dir.h"
#include "video/blit.h"
#include "video/text_drawing.h"

namespace grumbol::game {
namespace {

using Kind = platform::HeadlessInput::Action::Kind;
using MovieEvent = platform::RecordingMoviePlayer::Event;

// A text as the game's font draws it.
struct Text {
  int x, y;
  Colour ink;
  std::string text;
};

// The texts drawn over a screen filled with `fill`, as the game's font draws them.
Surface Drawn(std::uint32_t fill, const std::vector<Text>& texts) {
  Surface surface(1024, 768, 4);
  FillPixels(surface, fill);
  TextDrawing drawing(testing::GameFont());
  drawing.BeginTextDrawing(DrawingTarget{&surface, PixelLayout::kX8R8G8B8, [] {}});
  drawing.SetBackgroundMode(1);
  for (const Text& text : texts) {
    drawing.SetInkColour(text.ink);
    drawing.DrawTextAt(text.x, text.y, text.text);
  }
  drawing.EndTextDrawing();
  return surface;
}

// How many pixels of the rows from `top` to `bottom` (excluded) differ from `expected`.
int Differing(const Surface& shown, const Surface& expected, int top, int bottom) {
  int differing = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < 1024; ++x) differing += shown.PixelAt(x, y) != expected.PixelAt(x, y);
  }
  return differing;
}

// A whole game on the headless backends in a folder of its own, with a fixed tick count so
// every fish comes at the same row each run.
class GameTest : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> answers = {"Anna"}, bool assets = true) {
    if (assets) testing::WriteTestAssets();
    rig_ = std::make_unique<testing::GameRig>(true, file_system_, player_, std::move(answers));
    ASSERT_TRUE(rig_->Start());
  }
  bool Run(int count) { return rig_->Run(count); }
  void Keys(Kind kind, std::initializer_list<int> codes) { rig_->Keys(kind, codes); }
  GameState& state() { return rig_->game.state(); }
  FishField& fish() { return rig_->game.state().fish; }
  // Puts a swimming fish into a slot.
  void PutFish(int slot, int x, int y) {
    fish().state[slot] = kSwimming;
    fish().x[slot] = static_cast<std::int16_t>(x);
    fish().y[slot] = static_cast<std::int16_t>(y);
    fish().anim_counter[slot] = 3;
  }
  std::uint32_t Shown(int x, int y) { return rig_->display.last_frame().PixelAt(x, y); }
  std::vector<MovieEvent> Played(std::initializer_list<int> keys) {
    player_.events().clear();
    Keys(Kind::kKeyDown, keys);
    Run(1);
    Keys(Kind::kKeyUp, keys);
    return player_.events();
  }

  testing::WorkingDir dir_;
  platform::RecordingMoviePlayer player_{testing::kGameMovies};
  platform::PosixFileSystem file_system_;
  std::unique_ptr<testing::GameRig> rig_;
};

TEST_F(GameTest, AsksForTheNameUntilOneIsGivenThenStartsTheFirstMovie) {
  Start({"", "", " "}, false);
  std::vector<std::string> shown;
  for (const auto& s : rig_->dialogs.shown())
    shown.push_back(s.kind + "|" + s.title + "|" + s.text);
  const std::string ask = "ask|Daromirs Grumbol Game|Name:";
  const std::string again = "message|Name vergessen!|Gib bitte deinen Namen ein!";
  EXPECT_EQ(shown, (std::vector<std::string>{"message|Daromir Grumbol Game|Gib deinen Namen ein!",
                                             ask, again, ask, again, ask}));
  EXPECT_EQ(state().player_name, " ");  // blanks are a name
  EXPECT_EQ(rig_->display.title(), "Daromirs Grumbol Game");
  EXPECT_FALSE(rig_->display.cursor_visible());
  EXPECT_EQ(state().fish_limit, 1);
  EXPECT_EQ(state().movie_volume, 70);
  EXPECT_EQ(state().sound_volume, 100);
  // Two starts of the title movie (the second succeeds, so no third), each stopping it first.
  const MovieEvent stop{"GFX/Movie1.qzm", false}, start{"GFX/Movie1.qzm", true};
  EXPECT_EQ(player_.events(), (std::vector<MovieEvent>{stop, start, stop, start}));
}

TEST_F(GameTest, AnUnshotFishCrossesIn513FramesThenAnimates27InPlaceAndCannotBeShot) {
  Start();
  Run(1);  // pass 0 spawns, after its drawing
  ASSERT_EQ(fish().state[1], kSwimming);
  const int y = fish().y[1];
  for (int frame = 1; frame <= 513; ++frame) {
    ASSERT_EQ(fish().x[1], -120 + 2 * (frame - 1)) << frame;
    Run(1);
  }
  EXPECT_EQ(fish().state[1], kEscaped);
  EXPECT_EQ(state().misses, 1);
  EXPECT_EQ(rig_->audio.StartsOf(1), 1);
  for (int frame = 514; frame <= 538; frame += 2) {
    ASSERT_EQ(fish().state[1], kEscaped) << frame;
    rig_->Click(906 + 50, y + 10);  // two frames
    EXPECT_EQ(Shown(907, y + 1), testing::FishPicturePixel(FishFrame(1 + (frame - 513) / 3)))
        << frame;
  }
  Run(1);
  EXPECT_EQ(fish().state[1], kFree);
  EXPECT_EQ(fish().x[1], 906);  // escaped fish do not move
  EXPECT_EQ(state().score, 0);
}

TEST_F(GameTest, AShotHitsStrictlyInsideTheBoxAndEveryFishUnderThePointerOnce) {
  Start();
  // From the fish's corner: the box's inside is 1 to 96 across and 1 to 31 down.
  for (auto [dx, dy, hit] : {std::tuple{0, 10, false},
                             {97, 10, false},
                             {50, 0, false},
                             {50, 32, false},
                             {1, 10, true},
                             {50, 1, true},
                             {50, 31, true},
                             {96, 10, true}}) {
    PutFish(5, 300, 300);
    const int score = state().score;
    rig_->Click(300 + dx, 300 + dy);
    EXPECT_EQ(fish().state[5], hit ? kHit : kSwimming) << dx << "," << dy;
    EXPECT_EQ(state().score, score + (hit ? 10 : 0)) << dx << "," << dy;
  }
  const int hits = rig_->audio.StartsOf(0);
  rig_->Click(fish().x[5] + 50, 330);  // a hit fish drifts on and cannot be hit again
  EXPECT_EQ(rig_->audio.StartsOf(0), hits);
  Run(23);
  EXPECT_EQ(Shown(fish().x[5] - 2 + 1, 301), testing::FishPicturePixel(FishFrame(9)));
  EXPECT_EQ(fish().state[5], kFree);  // after 27 frames

  // A held button fires once; one press hits two fish on top of each other.
  PutFish(6, 600, 300);
  PutFish(7, 600, 300);
  rig_->Do(Kind::kButtonDown, 1);
  Run(1);
  EXPECT_EQ(fish().state[6], kSwimming);
  rig_->Do(Kind::kButtonUp, 1);
  Run(1);
  const int score = state().score;
  rig_->Click(fish().x[6] + 50, 310);
  EXPECT_EQ(state().score, score + 20);
  EXPECT_EQ(fish().state[7], kHit);
}

TEST_F(GameTest, TheFirstRowsComeFromTheSeedAndAFullFieldSpawnsNothingAndDrawsNoNumber) {
  Start();
  state().fish_limit = 21;  // one more than the slots: only the free slots hold spawns back
  Run(20);
  std::vector<int> rows;
  for (int i = 1; i <= 20; ++i) {
    ASSERT_EQ(fish().state[i], kSwimming);
    if (i <= 4) rows.push_back(fish().y[i]);
  }
  EXPECT_EQ(rows, (std::vector<int>{642, 173, 109, 492}));
  Run(1);
  for (int i = 1; i <= 20; ++i) EXPECT_EQ(fish().x[i], -120 + 2 * (21 - i)) << i;  // none anew
  RandomGenerator reference(rig_->clock);
  reference.Seed(4242);
  for (int i = 0; i < 20; ++i) reference.NextRaw();
  EXPECT_EQ(rig_->stack.random.NextRaw(), reference.NextRaw());
}

TEST_F(GameTest, TheFishLimitGrowsOneAFrameToAHundredthOfTheScorePlusOne) {
  Start();
  state().score = 1000;
  Run(5);
  EXPECT_EQ(state().fish_limit, 6);
  Run(10);
  EXPECT_EQ(state().fish_limit, 11);
}

// The score line over the sea, and the cross-hair's plus centred on the pointer over a fish.
TEST_F(GameTest, TheFrameShowsTheScoreLineAndTheCrossHairAboveTheFish) {
  Start();
  Run(1);
  PutFish(1, 400, 300);
  rig_->PointAt(420, 310);
  state().score = 120;
  state().misses = 10;
  PutFish(2, 904, 600);  // the eleventh to get through: the last frame still shows ten
  rig_->log.keep = true;
  EXPECT_FALSE(rig_->game.RunFrame());
  EXPECT_EQ(state().misses, 11);
  const Surface line = Drawn(testing::kBackgroundPixel, {{0, 0, 0xEA7902, "Punkte:120"},
                                                         {890, 0, 0x2052DF, "Durchgefallen:10"}});
  EXPECT_EQ(Differing(rig_->log.kept.back(), line, 0, 20), 0);
  for (auto [x, y, pixel] : {std::tuple{420, 294, testing::kCrossHairPixel},
                             {420, 325, testing::kCrossHairPixel},
                             {404, 310, testing::kCrossHairPixel},
                             {435, 310, testing::kCrossHairPixel},
                             {420, 293, testing::kBackgroundPixel},
                             {403, 310, testing::FishPicturePixel(FishFrame(1))},
                             {421, 311, testing::FishPicturePixel(FishFrame(1))}}) {
    EXPECT_EQ(Shown(x, y), pixel) << x << "," << y;
  }
}

TEST_F(GameTest, VolumeKeysAreUnboundedAndOverlaysShowWhereTheirKeysPutThemWhileHeld) {
  Start();
  Keys(Kind::kKeyDown, {DIK_O, DIK_L});
  Run(100);
  EXPECT_EQ(state().movie_volume, -30);  // not bounded: the media layer clamps
  EXPECT_EQ(state().sound_volume, 200);
  Keys(Kind::kKeyUp, {DIK_O, DIK_L});
  rig_->PointAt(700, 700);
  struct Case {
    int key, overlay;
    std::vector<std::pair<int, int>> at;
  };
  for (const Case& c :
       {Case{DIK_1, 1, {{0, 0}, {0, 588}, {760, 588}, {760, 0}}}, Case{DIK_2, 2, {{310, 182}}},
        Case{DIK_3, 3, {{428, 0}, {832, 305}, {428, 610}, {0, 305}}}}) {
    for (int i = 1; i <= 20; ++i) fish().state[i] = kFree;
    Keys(Kind::kKeyDown, {c.key});
    Run(1);
    for (auto [x, y] : c.at) {
      EXPECT_EQ(Shown(x, y), testing::OverlayPixel(c.overlay)) << x << "," << y;
      EXPECT_EQ(Shown(x + 39, y + 39), testing::OverlayPixel(c.overlay)) << x << "," << y;
      if (x > 0) {
        EXPECT_EQ(Shown(x - 1, y + 20), testing::kBackgroundPixel) << x << "," << y;
      }
      if (y > 0) {
        EXPECT_EQ(Shown(x + 20, y - 1), testing::kBackgroundPixel) << x << "," << y;
      }
    }
    Keys(Kind::kKeyUp, {c.key});
    Run(1);
    EXPECT_EQ(Shown(c.at[0].first + 20, c.at[0].second + 20), testing::kBackgroundPixel);
  }
}

// Key 4 shows a frame of its own, black with the title 190 times in a random ink, for 1.5 s.
TEST_F(GameTest, TheTitleSplashShowsItsOwnFrameForASecondAndAHalf) {
  Start();
  Keys(Kind::kKeyDown, {DIK_4});
  rig_->log.keep = true;
  const std::uint32_t before = rig_->clock.TickCount();
  Run(1);
  EXPECT_EQ(rig_->clock.TickCount() - before, 1500u);
  ASSERT_EQ(rig_->log.kept.size(), 2u);  // the splash, then the pass's own
  RandomGenerator reference(rig_->clock);
  reference.Seed(before);  // its inks are the game's first numbers
  const int blue = reference.RandomInt(255), green = reference.RandomInt(255);
  const Colour ink = MakeColour(reference.RandomInt(100), green, blue);
  std::vector<Text> texts;
  for (int x = 0; x <= 800; x += 200) {
    for (int y = 0; y <= 750; y += 20) texts.push_back({x, y, ink, "Daromirs Grumbol Game 5.0"});
  }
  ASSERT_EQ(texts.size(), 190u);
  EXPECT_EQ(Differing(rig_->log.kept[0], Drawn(0, texts), 0, 768), 0);
}

TEST_F(GameTest, EachMovieKeyStopsAllMoviesAndPlaysItsOwnTheLastKeyWinning) {
  Start();
  auto played = [](std::vector<int> movies) {
    std::vector<MovieEvent> events;
    for (int movie : movies) {
      for (int n = 1; n <= 7; ++n)
        events.push_back({"GFX/Movie" + std::to_string(n) + ".qzm", false});
      const std::string path = "GFX/Movie" + std::to_string(movie) + ".qzm";
      events.push_back({path, false});  // each start rewinds first
      events.push_back({path, true});
    }
    return events;
  };
  for (auto [key, movie] :
       {std::pair{DIK_0, 1}, {DIK_5, 2}, {DIK_8, 3}, {DIK_9, 4}, {DIK_7, 5}, {DIK_6, 6}}) {
    EXPECT_EQ(Played({key}), played({movie})) << "key " << key;
  }
  EXPECT_EQ(Played({DIK_5, DIK_6, DIK_7, DIK_8, DIK_9, DIK_0}), played({1, 4, 3, 5, 6, 2}));
  // The score movie is restarted in every pass that begins at exactly 2200.
  for (auto [score, starts] : {std::pair{2199, 0}, {2200, 1}, {2201, 0}}) {
    state().score = static_cast<std::int16_t>(score);
    const auto events = Played({});
    EXPECT_EQ(std::count(events.begin(), events.end(), MovieEvent{"GFX/Movie7.qzm", true}), starts);
  }
}

// The cheats need their keys, the right button and the exact cheat name; either marks the record.
TEST_F(GameTest, CheatsWorkOnlyWithAllTheirKeysAndTheNameAndMarkTheRecord) {
  struct Case {
    std::string name;
    std::vector<int> keys;
    bool right_button;
    int score, hit_sounds;  // after 30 frames
  };
  const Case cases[] = {
      {"Quorvel", {DIK_F, DIK_Z}, true, 0, 30},  // a random slot hit every frame
      {"quorvel", {DIK_F, DIK_Z}, true, 0, 0},          {"Quorvel", {DIK_F, DIK_Z}, false, 0, 0},
      {"Quorvel", {DIK_C, DIK_D, DIK_Z}, true, 300, 0}, {"Quorvel", {DIK_C, DIK_D}, true, 0, 0},
      {"Quorvel", {DIK_D, DIK_Z}, true, 0, 0}};
  for (const Case& c : cases) {
    std::filesystem::remove_all("GFX");
    Start({c.name});
    Run(1);  // the mouse is taken at the first poll
    for (int key : c.keys) rig_->Do(Kind::kKeyDown, key);
    if (c.right_button) rig_->Do(Kind::kButtonDown, 2);
    Run(30);
    EXPECT_EQ(state().score, c.score) << c.name << c.keys.size() << c.right_button;
    EXPECT_EQ(rig_->audio.StartsOf(0), c.hit_sounds) << c.name << c.keys.size() << c.right_button;
    rig_->game.GameOver();
    const bool cheated = c.score > 0 || c.hit_sounds > 0;
    EXPECT_EQ(
        testing::ReadFileBytes("GFX/Vusk.qzc"),
        c.name + ": " + std::to_string(c.score) + (cheated ? "     =>  cheated" : "") + "\r\n");
  }
}

// Escape ends the loop; the result box comes once the screen is left, then the record line (at the
// end of the file, whatever was there), then the title movie stops and the media end.
TEST_F(GameTest, GameOverShowsTheResultThenAppendsTheRecordLineThenEndsTheMedia) {
  const std::pair<std::string, std::string> files[] = {
      {"", ""},
      {"Anna: 120\r\n", "Anna: 120"},
      {"\r\nAnna: 120\r\n", ""},
      {"Anna: 1\r\n" + std::string(5000, 'x') + "\r\n", "Anna: 1"}};
  for (const auto& [before, first_line] : files) {
    std::filesystem::remove_all("GFX");
    std::filesystem::create_directory("GFX");
    if (!before.empty()) testing::WriteFileBytes("GFX/Vusk.qzc", before);
    player_.events().clear();
    Start({"Bob"}, false);
    rig_->log.look = [&] {
      return ", " + std::to_string(player_.events().size()) + " movie calls, record " +
             (testing::ReadFileBytes("GFX/Vusk.qzc") == before ? "as it was" : "changed");
    };
    rig_->log.calls.clear();
    state().score = 120;
    PutFish(1, 300, 300);
    Keys(Kind::kKeyDown, {DIK_ESCAPE});
    EXPECT_FALSE(rig_->game.RunFrame());
    EXPECT_EQ(fish().x[1], 302);  // Escape ends the game after its pass has run to the end
    rig_->game.GameOver();
    EXPECT_EQ(rig_->log.calls, (std::vector<std::string>{
                                   "close screen", "box Game Over, 4 movie calls, record as it was",
                                   "close screen", "stop video", "stop input"}));
    EXPECT_EQ(rig_->dialogs.shown().back().text, "Du hast 120 Punkte erreicht!");
    EXPECT_EQ(testing::ReadFileBytes("GFX/Vusk.qzc"), before + first_line + "Bob: 120\r\n");
    EXPECT_EQ(player_.events().size(), 5u);
    EXPECT_EQ(player_.events().back(), (MovieEvent{"GFX/Movie1.qzm", false}));
    EXPECT_TRUE(rig_->display.cursor_visible());
  }
}

}  // namespace
}  // namespace grumbol::game
