// Movie costs the game meets: loading its seven movies at start-up (each waits for its first
// picture), switching movies with a hot key, holding that key, and the per-frame volume calls
// with the picture laid over the presented frame.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "audio/movies.h"
#include "benchmarks/default_assets.h"
#include "platform/gstreamer/gst_movie_player.h"
#include "tests/support/headless_screen.h"
#include "tests/support/movie_clips.h"
#include "tests/support/temp_dir.h"

namespace grumbol {
namespace {

constexpr SlotId kFirstSlot = 8;
constexpr int kMovieCount = 7;

// Seven 3-second 320x240 clips with sound, made once for the whole run; or, with
// `default_movies`, the game's own seven movies as the asset maker makes them.
class SevenClips {
 public:
  explicit SevenClips(bool default_movies = false) : default_movies_(default_movies) {
    if (default_movies) {
      ok_ = testing::MakeDefaultAssets(dir_.path());
      return;
    }
    for (int i = 1; i <= kMovieCount; ++i) {
      ok_ = ok_ && testing::MakeClip(Path(i), {.width = 320,
                                               .height = 240,
                                               .frames = 75,
                                               .fps = 25,
                                               .rgb = 0x203040u * static_cast<std::uint32_t>(i)});
    }
  }
  bool ok() const { return ok_; }
  std::string Path(int i) const {
    return dir_.File((default_movies_ ? "GFX/Movie" : "Movie") + std::to_string(i) + ".qzm");
  }

 private:
  testing::TempDir dir_;
  bool default_movies_;
  bool ok_ = true;
};

struct MovieBench : testing::HeadlessScreen {
  MovieBench() {
    Open();
    movies.StartMovies();
  }
  void LoadAll(const SevenClips& clips) {
    for (int i = 0; i < kMovieCount; ++i) {
      if (movies.LoadMovieFile(kFirstSlot + i, clips.Path(i + 1)) == 0) std::abort();
    }
  }
  platform::GstMoviePlayer player;
  Movies movies{screen, player, files};
};

void BM_LoadSevenMovies(benchmark::State& state) {
  SevenClips clips;
  if (!clips.ok()) return state.SkipWithError("clips could not be made");
  for (auto _ : state) {
    state.PauseTiming();
    {
      MovieBench bench;
      state.ResumeTiming();
      bench.LoadAll(clips);
      state.PauseTiming();
    }
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadSevenMovies)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_SwitchMovie(benchmark::State& state) {
  SevenClips clips;
  if (!clips.ok()) return state.SkipWithError("clips could not be made");
  MovieBench bench;
  bench.LoadAll(clips);
  int playing = 0;
  for (auto _ : state) {
    bench.movies.StopMovieSlot(kFirstSlot + playing);
    playing = (playing + 1) % kMovieCount;
    bench.movies.PlayMovieSlot(kFirstSlot + playing, 0);
  }
}
BENCHMARK(BM_SwitchMovie)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();

// A movie key held down: every step stops all seven movies and starts the key's one again;
// with the clips (0) and with the game's own movies (1).
void BM_MovieKeyHeld(benchmark::State& state) {
  SevenClips clips(state.range(0) == 1);
  if (!clips.ok()) return state.SkipWithError("clips could not be made");
  MovieBench bench;
  bench.LoadAll(clips);
  for (auto _ : state) {
    for (int i = 0; i < kMovieCount; ++i) bench.movies.StopMovieSlot(kFirstSlot + i);
    bench.movies.PlayMovieSlot(kFirstSlot + 3, 0);
    // The game's next step comes a sixtieth of a second later.
    state.PauseTiming();
    std::this_thread::sleep_for(std::chrono::microseconds(16667));
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MovieKeyHeld)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->UseRealTime();

// The game's frame: volume and balance of all seven, then the picture over the frame.
void BM_FrameWithSevenMovies(benchmark::State& state) {
  SevenClips clips;
  if (!clips.ok()) return state.SkipWithError("clips could not be made");
  MovieBench bench;
  bench.LoadAll(clips);
  bench.movies.PlayMovieSlot(kFirstSlot, 0);
  for (auto _ : state) {
    for (int i = 0; i < kMovieCount; ++i) bench.movies.SetMovieVolume(kFirstSlot + i, 70, 0);
    bench.screen.ShowFrame();
  }
}
BENCHMARK(BM_FrameWithSevenMovies)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace grumbol
