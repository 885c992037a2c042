#include "game/assets.h"
#include "game/game.h"
#include "game/scan_codes.h"

namespace grumbol::game {

namespace {

constexpr int kSpawnX = -120;
constexpr int kMaxSpawnY = 735;
constexpr int kStep = 2;  // pixels per frame
constexpr int kGotThroughX = 906;
constexpr int kLastAnimCounter = 30;  // the slot is free again from here
constexpr int kHitBoxWidth = 97;
constexpr int kHitBoxHeight = 32;
constexpr int kCrossHairOffset = 16;
constexpr int kPointsPerFish = 10;
constexpr int kMaxMisses = 10;

}  // namespace

bool Game::RunFrame() {
  m_.sprites.DrawSprite(kBackground, 0, 0);
  for (SlotId movie : kMovies) m_.movies.SetMovieVolume(movie, state_.movie_volume, 0);
  m_.sounds.SetSoundVolume(kHitSound, state_.sound_volume);
  m_.sounds.SetSoundVolume(kMissSound, state_.sound_volume);
  m_.input.Poll();

  RunHotKeys();
  if (m_.input.IsButtonDown(1) && state_.button_latch == 0) Shoot();
  if (!m_.input.IsButtonDown(1)) state_.button_latch = 0;
  DrawFishAndCrossHair();
  DrawScoreLine();
  m_.screen.ShowFrame();

  UpdateFish();
  SpawnFish();
  if (state_.fish_limit < state_.score / 100 + 1) ++state_.fish_limit;
  return !(KeyDown(DIK_ESCAPE) || state_.misses > kMaxMisses);
}

void Game::Shoot() {
  state_.button_latch = 1;
  const int px = m_.input.PointerX();
  const int py = m_.input.PointerY();
  FishField& fish = state_.fish;
  // Every fish under the pointer is hit by the same shot.
  for (int i = FishField::kFirstSlot; i <= FishField::kLastSlot; ++i) {
    if (fish.state[i] == kSwimming && fish.x[i] < px && px < fish.x[i] + kHitBoxWidth &&
        fish.y[i] < py && py < fish.y[i] + kHitBoxHeight) {
      m_.sounds.PlaySoundSlot(kHitSound, 0);
      fish.state[i] = kHit;
      state_.score = SaturatingAdd(state_.score, kPointsPerFish);
    }
  }
}

void Game::DrawFishAndCrossHair() {
  const FishField& fish = state_.fish;
  for (int i = FishField::kFirstSlot; i <= FishField::kLastSlot; ++i) {
    if (fish.state[i] >= kSwimming) {
      m_.sprites.DrawSpriteKeyed(FishFrame(fish.anim_counter[i] / 3), fish.x[i], fish.y[i]);
    }
  }
  m_.sprites.DrawSpriteKeyed(kCrossHair, m_.input.PointerX() - kCrossHairOffset,
                             m_.input.PointerY() - kCrossHairOffset);
}

void Game::DrawScoreLine() {
  TextDrawing& text = m_.text;
  text.BeginTextDrawing(m_.screen.BackBufferTarget());
  text.SetBackgroundMode(1);
  text.SetInkColour(0xEA7902);
  {
    auto points = m_.scratch.Begin();
    points << "Punkte:" << state_.score;
    text.DrawTextAt(0, 0, points.View());
  }
  text.SetInkColour(0x2052DF);
  {
    auto misses = m_.scratch.Begin();
    misses << "Durchgefallen:" << state_.misses;
    text.DrawTextAt(890, 0, misses.View());
  }
  text.EndTextDrawing();
}

void Game::UpdateFish() {
  FishField& fish = state_.fish;
  state_.active_fish = 0;
  for (int i = FishField::kFirstSlot; i <= FishField::kLastSlot; ++i) {
    if (fish.state[i] < kSwimming) continue;
    ++state_.active_fish;  // counted even when freed below
    if (fish.state[i] < kEscaped) fish.x[i] = SaturatingAdd(fish.x[i], kStep);
    if (fish.state[i] >= kHit) {
      fish.anim_counter[i] = SaturatingAdd(fish.anim_counter[i], 1);
      if (fish.anim_counter[i] >= kLastAnimCounter) fish.state[i] = kFree;
    }
    if (fish.state[i] == kSwimming && fish.x[i] >= kGotThroughX) {
      state_.misses = SaturatingAdd(state_.misses, 1);
      m_.sounds.PlaySoundSlot(kMissSound, 0);
      fish.state[i] = kEscaped;
    }
  }
}

void Game::SpawnFish() {
  if (state_.active_fish >= state_.fish_limit) return;
  FishField& fish = state_.fish;
  for (int i = FishField::kFirstSlot; i <= FishField::kLastSlot; ++i) {
    if (fish.state[i] != kFree) continue;
    fish.state[i] = kSwimming;
    fish.anim_counter[i] = 3;
    fish.y[i] = static_cast<std::int16_t>(m_.random.RandomInt(kMaxSpawnY));
    fish.x[i] = kSpawnX;
    return;
  }
}

}  // namespace grumbol::game
