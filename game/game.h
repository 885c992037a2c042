#pragma once

#include <ostream>

#include "game/game_state.h"
#include "game/media.h"

namespace grumbol::game {

// The game: start-up and name entry, the frame loop with its fish field and hot keys, and
// the end with the result box and the record line.
class Game {
 public:
  static constexpr const char* kTitle = "Daromirs Grumbol Game";
  static constexpr const char* kRecordPath = "GFX\\Vusk.qzc";
  static constexpr const char* kCheatName = "Quorvel";
  static constexpr const char* kCheatMark = "     =>  cheated";

  explicit Game(Media& media) : m_(media) {}

  // The whole program after the runtime is ready; returns the exit code. With no display
  // (no dialog can be shown, no window made) it says so on `errors` and returns 1 before
  // asking for the name, which could otherwise never be given.
  int Run(std::ostream& errors);

  // The parts of Run, for tests that drive the game frame by frame.
  bool StartUp(std::ostream& errors);  // false: no display
  bool RunFrame();                     // one pass of the main loop; false when it ends
  // `keep_record`: the game's line goes into the record file (not for a replayed game).
  void GameOver(bool keep_record = true);

  // Starts a recorded game again: the name is the recorded one and nothing is asked.
  void StartReplay(const std::string& player_name);

  const GameState& state() const { return state_; }
  GameState& state() { return state_; }

 private:
  void StartMedia();
  void BeginPlay();
  void AskForName();
  void LoadAssets();
  void RunHotKeys();
  void ShowTitleSplash();
  void Shoot();
  void DrawFishAndCrossHair();
  void DrawScoreLine();
  void UpdateFish();
  void SpawnFish();
  void StopAllMovies();
  void WriteScoreRecord();
  bool KeyDown(int code) const { return m_.input.IsKeyDown(code); }

  Media& m_;
  GameState state_;
};

}  // namespace grumbol::game
