// The game's own costs with the default assets: from the confirmed name to the first
// presented frame (screen, pictures, sounds, seven movies, the first pass), and one frame
// of the running game. The display is headless, so presentation is a memory copy.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "benchmarks/default_assets.h"
#include "platform/gstreamer/gst_movie_player.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/game_rig.h"
#include "tests/support/working_dir.h"

namespace grumbol::game {
namespace {

// The default assets, made once for the run in a folder the game is started in.
struct DefaultAssets : testing::WorkingDir {
  DefaultAssets() {
    if (!testing::MakeDefaultAssets(path())) std::abort();
  }
};

// The game over headless display, input and sound, with real files and real movies.
struct HeadlessGame {
  platform::PosixFileSystem file_system;
  platform::GstMoviePlayer player;
  testing::GameRig rig{true, file_system, player, {"Anna"}, 1};
};

void BM_StartUpToFirstFrame(benchmark::State& state) {
  DefaultAssets assets;
  for (auto _ : state) {
    auto game = std::make_unique<HeadlessGame>();
    if (!game->rig.Start()) std::abort();
    game->rig.game.RunFrame();
    state.PauseTiming();
    game.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GameFrame(benchmark::State& state) {
  DefaultAssets assets;
  HeadlessGame game;
  if (!game.rig.Start()) std::abort();
  for (int i = 0; i < 600; ++i) game.rig.game.RunFrame();  // fish on the screen
  for (auto _ : state) game.rig.game.RunFrame();
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace grumbol::game
