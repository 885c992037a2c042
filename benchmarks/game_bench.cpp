// The game's own costs with the default assets: from the confirmed name to the first
// presented frame (screen, pictures, sounds, seven movies, the first pass), and one frame
// of the running game. The display is headless, so presentation is a memory copy.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

#include "game/game.h"
#include "input/direct_input.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_input.h"
#include "platform/headless/manual_clock.h"
#include "platform/headless/recording_audio.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/posix/posix_file_system.h"
#include "platform/sdl/gst_movie_player.h"

namespace grumbol::game {
namespace {

// The default assets, made once for the run in a folder the game is started in.
class DefaultAssets {
 public:
  DefaultAssets() {
    char pattern[] = "/tmp/grumbol-game-bench.XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    dir_ = pattern;
    const std::string command = std::string(GRUMBOL_MAKE_GFX) + " " + dir_.string() + " >/dev/null";
    if (std::system(command.c_str()) != 0) std::abort();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  ~DefaultAssets() {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
  }

 private:
  std::filesystem::path dir_, previous_;
};

// Every subsystem of the game over headless display, input and sound, and real movies.
struct HeadlessGame {
  platform::ManualClock clock{1};
  platform::HeadlessDisplay display{clock};
  platform::HeadlessInput input;
  platform::RecordingAudioSystem audio;
  platform::GstMoviePlayer player;
  platform::PosixFileSystem file_system;
  platform::ScriptedDialogs scripted{{"Anna"}};
  MessageDialogs dialogs{scripted};
  ScratchText scratch;
  RandomGenerator random{clock};
  TextDrawing text;
  DataFiles files{file_system};
  Screen screen{display, clock};
  Sprites sprites{screen, file_system};
  Sounds sounds{screen, file_system, audio};
  Movies movies{screen, player};
  DirectInput direct_input{input};
  Keyboard keyboard{direct_input, screen};
  Mouse mouse{direct_input, screen};
  Media media{screen, sprites, text, sounds, movies, keyboard, mouse, files, dialogs, random, clock, scratch};
  Game game{media};
};

void BM_StartUpToFirstFrame(benchmark::State& state) {
  DefaultAssets assets;
  for (auto _ : state) {
    auto game = std::make_unique<HeadlessGame>();
    std::ostringstream errors;
    if (!game->game.StartUp(errors)) std::abort();
    game->game.RunFrame();
    state.PauseTiming();
    game.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GameFrame(benchmark::State& state) {
  DefaultAssets assets;
  HeadlessGame game;
  std::ostringstream errors;
  if (!game.game.StartUp(errors)) std::abort();
  for (int i = 0; i < 600; ++i) game.game.RunFrame();  // fish on the screen
  for (auto _ : state) game.game.RunFrame();
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace grumbol::game
