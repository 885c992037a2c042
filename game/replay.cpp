#include "game/replay.h"

#include <chrono>

#include "game/game.h"
#include "game/media_stack.h"
#include "game/scan_codes.h"

namespace grumbol::game {

ReplayRecorder::ReplayRecorder(PlayerInput& player, const RandomGenerator& random,
                               std::unique_ptr<platform::File> file)
    : player_(player), random_(random), file_(std::move(file)) {
  ok_ = file_ != nullptr;
  Write(ReplayHeaderLine());
}

void ReplayRecorder::Write(const std::string& line) {
  if (!ok_) return;
  const std::string text = line + "\n";
  ok_ = file_->Write(text.data(), text.size()) == static_cast<std::int64_t>(text.size());
}

void ReplayRecorder::Poll() {
  player_.Poll();
  // The name is known from the first step on; the seed once the game has drawn a number.
  // A name longer than a replay holds is cut: only the cheat name counts, and it is short.
  if (step_ == 0)
    Write("name " + (state_ != nullptr ? state_->player_name.substr(0, Replay::kMaxNameBytes)
                                       : std::string()));
  if (!seed_written_ && random_.seed()) {
    Write("seed " + std::to_string(*random_.seed()));
    seed_written_ = true;
  }
  using Kind = Replay::Change::Kind;
  Replay::Step step{step_, {}};
  if (step_ == 0 || player_.PointerX() != seen_.x)
    step.changes.push_back({Kind::kPointerX, seen_.x = player_.PointerX()});
  if (step_ == 0 || player_.PointerY() != seen_.y)
    step.changes.push_back({Kind::kPointerY, seen_.y = player_.PointerY()});
  for (int button = 1; button <= 3; ++button) {
    const bool down = player_.IsButtonDown(button);
    if (down == seen_.buttons[button - 1]) continue;
    seen_.buttons[button - 1] = down;
    step.changes.push_back({Kind::kButton, button, down ? 1 : 0});
  }
  for (int code = 0; code < 256; ++code) {
    const bool down = player_.IsKeyDown(code);
    if (down == seen_.keys[code]) continue;
    seen_.keys[code] = down;
    step.changes.push_back({Kind::kKey, code, down ? 1 : 0});
  }
  if (state_ != nullptr && (state_->score != score_ || state_->misses != misses_)) {
    score_ = state_->score;
    misses_ = state_->misses;
    step.changes.push_back({Kind::kCheck, score_, misses_});
  }
  if (!step.changes.empty()) Write(ReplayStepLine(step));
  ++step_;
}

void ReplayRecorder::Finish() {
  if (state_ != nullptr)
    Write(ReplayEndLine({step_, state_->score, state_->misses, !state_->cheat_mark.empty()}));
}

ReplayInput::ReplayInput(const Replay& replay, Keyboard* live_keyboard)
    : replay_(replay), live_keyboard_(live_keyboard) {}

void ReplayInput::Poll() {
  if (live_keyboard_ != nullptr) live_keyboard_->PollKeyboard();
  using Kind = Replay::Change::Kind;
  if (next_ < replay_.steps.size() && replay_.steps[next_].number == step_) {
    for (const Replay::Change& change : replay_.steps[next_].changes) {
      switch (change.kind) {
        case Kind::kPointerX: seen_.x = change.a; break;
        case Kind::kPointerY: seen_.y = change.a; break;
        case Kind::kButton:
          seen_.buttons[static_cast<std::size_t>(change.a - 1)] = change.b != 0;
          break;
        case Kind::kKey: seen_.keys[static_cast<std::size_t>(change.a)] = change.b != 0; break;
        case Kind::kCheck:
          if (state_ != nullptr && !first_difference_ &&
              (state_->score != change.a || state_->misses != change.b)) {
            first_difference_ = step_;
          }
          break;
      }
    }
    ++next_;
  }
  ++step_;
}

bool ReplayInput::IsButtonDown(int button) const {
  return button >= 1 && button <= 3 && seen_.buttons[static_cast<std::size_t>(button - 1)];
}

bool ReplayInput::IsKeyDown(int code) const {
  // A game that goes on long after its recording has parted from it (or was cut short).
  const bool give_up = step_ > replay_.Length() + (replay_.result ? kGraceSteps : 0);
  if (code == DIK_ESCAPE &&
      (give_up || (live_keyboard_ != nullptr && live_keyboard_->IsKeyDown(code) != 0))) {
    return true;
  }
  return code >= 0 && code < 256 && seen_.keys[static_cast<std::size_t>(code)];
}

ReplayVerdict CompareReplay(const Replay& replay, const ReplayInput& input,
                            const GameState& state) {
  const auto describe = [](std::uint32_t steps, int score, int misses, bool cheated) {
    return std::to_string(steps) + " steps, score " + std::to_string(score) + ", " +
           std::to_string(misses) + " missed" + (cheated ? ", cheated" : "");
  };
  const std::string replayed =
      describe(input.steps(), state.score, state.misses, !state.cheat_mark.empty());
  if (!replay.result) return {false, "the recording was cut short; replayed " + replayed};
  const Replay::Result& recorded = *replay.result;
  const bool same = !input.first_difference() && input.steps() == recorded.steps &&
                    state.score == recorded.score && state.misses == recorded.misses &&
                    state.cheat_mark.empty() != recorded.cheated;
  if (same) return {true, "the same: " + replayed};
  std::string says = "differs: recorded " +
                     describe(recorded.steps, recorded.score, recorded.misses, recorded.cheated) +
                     "; replayed " + replayed;
  if (input.first_difference())
    says += "; they part at step " + std::to_string(*input.first_difference());
  return {false, says};
}

void PlayReplay(const Replay& replay, RandomGenerator& random, ReplayInput& input, Game& game) {
  if (replay.seed) random.Seed(*replay.seed);
  input.Watch(game.state());
  game.StartReplay(replay.name);
  while (game.RunFrame()) {
  }
  game.GameOver(false);
}

ReplayVerdict VerifyReplay(const Replay& replay, double* steps_per_second) {
  NullMediaStack none;
  ReplayInput input(replay);
  Media media = none.stack.For(input);
  Game game(media);
  const auto start = std::chrono::steady_clock::now();
  PlayReplay(replay, none.stack.random, input, game);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (steps_per_second != nullptr) *steps_per_second = seconds > 0 ? input.steps() / seconds : 0.0;
  return CompareReplay(replay, input, game.state());
}

}  // namespace grumbol::game
