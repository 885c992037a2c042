#include <string>

#include "game/assets.h"
#include "game/game.h"

namespace grumbol::game {

namespace {

constexpr Colour kKeyColour = 0xFF00FF;  // magenta: transparent in keyed pictures

std::string Numbered(const char* stem, int n, const char* extension) {
  return std::string(stem) + IntToText(n) + extension;
}

}  // namespace

int Game::Run(std::ostream& errors) {
  if (!StartUp(errors)) return 1;
  while (RunFrame()) {
  }
  GameOver();
  return 0;
}

bool Game::StartUp(std::ostream& errors) {
  StartMedia();
  if (!m_.dialogs.Available() || m_.screen.CreateScreenWindow() == 0) {
    errors << "grumbol: no display to show the game on (is DISPLAY set, is an X server "
              "running?)\n";
    return false;
  }
  AskForName();
  BeginPlay();
  return true;
}

void Game::StartReplay(const std::string& player_name) {
  StartMedia();
  state_.player_name = player_name;
  BeginPlay();
}

void Game::StartMedia() {
  m_.screen.StartVideo();
  m_.sounds.StartSound();
  m_.movies.StartMovies();
  m_.keyboard.StartKeyboard();
  m_.mouse.StartMouse();
}

void Game::BeginPlay() {
  m_.screen.EnterScreenMode(1024, 768, 32, kTitle);
  FishField& fish = state_.fish;
  for (Array<std::int16_t>* array : {&fish.x, &fish.y, &fish.state, &fish.anim_counter}) {
    array->Allocate(FishField::kMaxIndex);
  }
  state_.fish_limit = 1;
  LoadAssets();
  state_.movie_volume = 70;
  state_.sound_volume = 100;

  // Each start rewinds the clip; a second failure gets one more try.
  m_.movies.PlayMovieSlot(kTitleMovie, 0);
  if (m_.movies.PlayMovieSlot(kTitleMovie, 0) == 0) m_.movies.PlayMovieSlot(kTitleMovie, 0);
}

void Game::AskForName() {
  m_.dialogs.ShowMessageBox("Daromir Grumbol Game", "Gib deinen Namen ein!", 0);
  state_.player_name = m_.dialogs.AskForText(kTitle, "Name:", "");
  while (TextEquals(state_.player_name, "") != 0) {
    m_.dialogs.ShowMessageBox("Name vergessen!", "Gib bitte deinen Namen ein!", 0);
    state_.player_name = m_.dialogs.AskForText(kTitle, "Name:", "");
  }
}

void Game::LoadAssets() {
  Sprites& sprites = m_.sprites;
  sprites.LoadSpriteFile(kCrossHair, "GFX\\Kreuz.qz", 0);
  sprites.SetSpriteKey(kCrossHair, kKeyColour);
  sprites.LoadSpriteFile(kBackground, "GFX\\Back.qz", 0);
  sprites.LoadSpriteFile(kPausePicture, "GFX\\Pause.qz", 0);
  sprites.SetSpriteKey(kPausePicture, kKeyColour);
  for (int n = 1; n <= kFishFrames; ++n) {
    sprites.LoadSpriteFile(FishFrame(n), Numbered("GFX\\Vusk", n, ".qz"), 0);
    sprites.SetSpriteKey(FishFrame(n), kKeyColour);
  }
  for (int n = 1; n <= kOverlays; ++n) {
    sprites.LoadSpriteFile(Overlay(n), Numbered("GFX\\Gay", n, ".qz"), 0);
    sprites.SetSpriteKey(Overlay(n), kKeyColour);
  }
  m_.sounds.LoadSoundFile(kHitSound, "GFX\\Sound1.qzs");
  m_.sounds.LoadSoundFile(kMissSound, "GFX\\Sound2.qzs");
  for (int n = 1; n <= std::ssize(kMovies); ++n) {
    m_.movies.LoadMovieFile(Movie(n), Numbered("GFX\\Movie", n, ".qzm"));
  }
}

}  // namespace grumbol::game
