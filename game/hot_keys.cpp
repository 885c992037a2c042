#include <array>
#include <utility>

#include "game/assets.h"
#include "game/game.h"
#include "game/scan_codes.h"

namespace grumbol::game {

namespace {

constexpr const char* kSplashText = "Daromirs Grumbol Game 5.0";

// Movie keys in the order they are tested: with several down, the last one's movie plays.
constexpr std::array<std::pair<int, SlotId>, 6> kMovieKeys{{{DIK_0, kTitleMovie},
                                                            {DIK_9, Movie(4)},
                                                            {DIK_8, Movie(3)},
                                                            {DIK_7, Movie(5)},
                                                            {DIK_6, Movie(6)},
                                                            {DIK_5, Movie(2)}}};

}  // namespace

void Game::RunHotKeys() {
  // The volumes are not bounded here: the media layer clamps what it is given.
  if (KeyDown(DIK_O)) state_.movie_volume = SaturatingAdd(state_.movie_volume, -1);
  if (KeyDown(DIK_P)) state_.movie_volume = SaturatingAdd(state_.movie_volume, 1);
  if (KeyDown(DIK_K)) state_.sound_volume = SaturatingAdd(state_.sound_volume, -1);
  if (KeyDown(DIK_L)) state_.sound_volume = SaturatingAdd(state_.sound_volume, 1);

  Sprites& sprites = m_.sprites;
  if (KeyDown(DIK_1)) {
    sprites.DrawSpriteKeyed(kCornerOverlay, 0, 0);
    sprites.DrawSpriteKeyed(kCornerOverlay, 0, 588);
    sprites.DrawSpriteKeyed(kCornerOverlay, 760, 588);
    sprites.DrawSpriteKeyed(kCornerOverlay, 760, 0);
  }
  if (KeyDown(DIK_2)) sprites.DrawSpriteKeyed(kCentreOverlay, 310, 182);
  if (KeyDown(DIK_3)) {
    sprites.DrawSpriteKeyed(kEdgeOverlay, 428, 0);
    sprites.DrawSpriteKeyed(kEdgeOverlay, 832, 305);
    sprites.DrawSpriteKeyed(kEdgeOverlay, 428, 610);
    sprites.DrawSpriteKeyed(kEdgeOverlay, 0, 305);
  }
  if (KeyDown(DIK_4)) ShowTitleSplash();

  for (const auto& [key, movie] : kMovieKeys) {
    if (!KeyDown(key)) continue;
    StopAllMovies();
    m_.movies.PlayMovieSlot(movie, 0);
  }
  if (state_.score == 2200) {
    StopAllMovies();
    m_.movies.PlayMovieSlot(kScoreMovie, 0);
  }

  // The cheats: keys first, then the right button, then the name.
  const bool right_button = m_.input.IsButtonDown(2);
  const bool cheat_name = TextEquals(state_.player_name, kCheatName) != 0;
  if (KeyDown(DIK_F) && KeyDown(DIK_Z) && right_button && cheat_name) {
    const int entry = m_.random.RandomInt(20);
    state_.fish.state[entry] = kHit;
    m_.sounds.PlaySoundSlot(kHitSound, 0);
    state_.cheat_mark = kCheatMark;
  }
  if (KeyDown(DIK_C) && KeyDown(DIK_D) && KeyDown(DIK_Z) && right_button && cheat_name) {
    state_.score = SaturatingAdd(state_.score, 10);
    state_.cheat_mark = kCheatMark;
  }
}

void Game::ShowTitleSplash() {
  m_.sprites.FillScreen(0);
  TextDrawing& text = m_.text;
  text.BeginTextDrawing(m_.screen.BackBufferTarget());
  text.SetBackgroundMode(1);
  const int blue = m_.random.RandomInt(255);
  const int green = m_.random.RandomInt(255);
  const int red = m_.random.RandomInt(100);
  text.SetInkColour(MakeColour(red, green, blue));
  for (int x = 0; x <= 800; x += 200) {
    for (int y = 0; y <= 750; y += 20) text.DrawTextAt(x, y, kSplashText);
  }
  text.EndTextDrawing();
  m_.screen.ShowFrame();
  SleepMs(m_.clock, 1500);
}

void Game::StopAllMovies() {
  for (SlotId movie : kMovies) m_.movies.StopMovieSlot(movie);
}

}  // namespace grumbol::game
