#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/game_state.h"
#include "game/player_input.h"
#include "game/replay_file.h"
#include "platform/file_system.h"
#include "runtime/random.h"

namespace grumbol::game {

// What the game read of the player in one step.
struct InputSeen {
  int x = 0;
  int y = 0;
  std::array<bool, 3> buttons{};
  std::bitset<256> keys;
};

// Records a game as it is played: passes the player's input on unchanged and writes what
// changed in each step as the step polls, so that a game cut short leaves its replay up to the
// last step.
class ReplayRecorder final : public PlayerInput {
 public:
  ReplayRecorder(PlayerInput& player, const RandomGenerator& random,
                 std::unique_ptr<platform::File> file);
  // The game whose score and name go into the file (the game is made after its input).
  void Watch(const GameState& state) { state_ = &state; }

  void Poll() override;
  int PointerX() const override { return player_.PointerX(); }
  int PointerY() const override { return player_.PointerY(); }
  bool IsButtonDown(int button) const override { return player_.IsButtonDown(button); }
  bool IsKeyDown(int code) const override { return player_.IsKeyDown(code); }

  // The game is over: its result ends the file.
  void Finish();
  // False once a write failed (a full disk): the replay is incomplete.
  bool ok() const { return ok_; }

 private:
  void Write(const std::string& line);

  PlayerInput& player_;
  const GameState* state_ = nullptr;
  const RandomGenerator& random_;
  std::unique_ptr<platform::File> file_;
  bool ok_ = true;
  std::uint32_t step_ = 0;
  bool seed_written_ = false;
  InputSeen seen_;
  std::int32_t score_ = 0;
  std::int32_t misses_ = 0;
};

// A recorded player: each poll takes the next step's changes. With the live keyboard given, its
// Escape ends the replay too. Each checkpoint is held against the game's state as the step
// begins, and the first one missed is kept.
class ReplayInput final : public PlayerInput {
 public:
  // Steps beyond the recording before the replay gives up on the game ending by itself.
  static constexpr std::uint32_t kGraceSteps = 60 * 60 * 5;

  explicit ReplayInput(const Replay& replay, Keyboard* live_keyboard = nullptr);
  // The game whose score is held against the checkpoints (the game is made after its input).
  void Watch(const GameState& state) { state_ = &state; }

  void Poll() override;
  int PointerX() const override { return seen_.x; }
  int PointerY() const override { return seen_.y; }
  bool IsButtonDown(int button) const override;
  bool IsKeyDown(int code) const override;

  std::uint32_t steps() const { return step_; }
  // The first step whose recorded score and misses the game did not have.
  std::optional<std::uint32_t> first_difference() const { return first_difference_; }

 private:
  const Replay& replay_;
  const GameState* state_ = nullptr;
  Keyboard* live_keyboard_;
  std::size_t next_ = 0;  // the next recorded step to apply
  std::uint32_t step_ = 0;
  InputSeen seen_;
  std::optional<std::uint32_t> first_difference_;
};

// Whether a replayed game came out as its recording says, in one line.
struct ReplayVerdict {
  bool same = false;
  std::string says;
};
ReplayVerdict CompareReplay(const Replay& replay, const ReplayInput& input, const GameState& state);

class Game;
// Plays a recorded game on whatever backends `game` has: its seed, its name, its input; the
// result box but no record line.
void PlayReplay(const Replay& replay, RandomGenerator& random, ReplayInput& input, Game& game);
// Plays a recorded game on no backends at all, as fast as the machine allows, and holds the
// result against the recording. `steps_per_second`, when given, gets how fast it ran.
ReplayVerdict VerifyReplay(const Replay& replay, double* steps_per_second = nullptr);

}  // namespace grumbol::game
