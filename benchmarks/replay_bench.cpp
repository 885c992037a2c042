// Verifying a recorded ten-minute game (36,000 steps): played again on no backends and held
// against its recording. Compare with BM_GameFrame (one step shown on the headless display) in
// the same run: verifying skips the drawing, so a step costs a small part of a shown one.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "game/game.h"
#include "game/media_stack.h"
#include "game/replay.h"
#include "game/scan_codes.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/temp_dir.h"

namespace grumbol::game {
namespace {

constexpr std::uint32_t kTenMinutes = 36'000;

// A player who never misses: it aims at the first fish in view and clicks every other step,
// so the game goes on until it presses Escape after ten minutes.
class Autopilot final : public PlayerInput {
 public:
  void Watch(const GameState& state) { state_ = &state; }
  void Poll() override {
    ++step_;
    down_ = false;
    const FishField& fish = state_->fish;
    for (int i = FishField::kFirstSlot; i <= FishField::kLastSlot && step_ % 2 == 0; ++i) {
      if (fish.state[i] != kSwimming || fish.x[i] < -40) continue;
      x_ = fish.x[i] + 48;
      y_ = fish.y[i] + 16;
      down_ = true;
      break;
    }
  }
  int PointerX() const override { return x_; }
  int PointerY() const override { return y_; }
  bool IsButtonDown(int button) const override { return button == 1 && down_; }
  bool IsKeyDown(int code) const override { return code == DIK_ESCAPE && step_ >= kTenMinutes; }

 private:
  const GameState* state_ = nullptr;
  std::uint32_t step_ = 0;
  int x_ = 0;
  int y_ = 0;
  bool down_ = false;
};

Replay RecordTenMinutes() {
  testing::TempDir dir;
  NullMediaStack none(7);
  platform::PosixFileSystem files;
  Autopilot pilot;
  ReplayRecorder recorder(pilot, none.stack.random,
                          files.Open(dir.File("ten.replay"), platform::FileAccess::kWrite,
                                     platform::FileDisposition::kCreateAlways));
  Media media = none.stack.For(recorder);
  Game game(media);
  pilot.Watch(game.state());
  recorder.Watch(game.state());
  game.StartReplay("Pilot");
  while (game.RunFrame()) {
  }
  recorder.Finish();
  ReplayReading reading = ReadReplay(testing::ReadFileBytes(dir.File("ten.replay")));
  if (!reading.replay || reading.replay->Length() != kTenMinutes ||
      reading.replay->result->misses != 0)
    std::abort();
  return std::move(*reading.replay);
}

void BM_VerifyTenMinuteGame(benchmark::State& state) {
  const Replay replay = RecordTenMinutes();
  for (auto _ : state) {
    if (!VerifyReplay(replay).same) std::abort();
  }
  state.counters["steps/s"] = benchmark::Counter(static_cast<double>(replay.Length()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_VerifyTenMinuteGame)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace grumbol::game
