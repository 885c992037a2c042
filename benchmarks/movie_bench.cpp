// Movie costs the game meets: loading its seven movies at start-up (each waits for its first
// picture), switching movies with a hot key, and the per-frame volume calls with the picture
// laid over the presented frame.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "audio/movies.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/manual_clock.h"
#include "platform/sdl/gst_movie_player.h"
#include "tests/support/movie_clips.h"

namespace grumbol {
namespace {

constexpr SlotId kFirstSlot = 8;
constexpr int kMovieCount = 7;

// Seven 3-second 320x240 clips with sound, made once for the whole run.
class SevenClips {
 public:
  SevenClips() {
    char pattern[] = "/tmp/grumbol-movie-bench.XXXXXX";
    if (mkdtemp(pattern) != nullptr) dir_ = pattern;
    for (int i = 1; i <= kMovieCount; ++i) {
      ok_ = ok_ && !dir_.empty() &&
            testing::MakeClip(Path(i), {.width = 320, .height = 240, .frames = 75, .fps = 25,
                                        .rgb = 0x203040u * static_cast<std::uint32_t>(i)});
    }
  }
  ~SevenClips() {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  bool ok() const { return ok_; }
  std::string Path(int i) const { return dir_ + "/Movie" + std::to_string(i) + ".qzm"; }

 private:
  std::string dir_;
  bool ok_ = true;
};

struct MovieBench {
  MovieBench() : display(clock), screen(display, clock), movies(screen, player) {
    screen.StartVideo();
    screen.EnterScreenMode(1024, 768, 32, "bench");
    movies.StartMovies();
  }
  void LoadAll(const SevenClips& clips) {
    for (int i = 0; i < kMovieCount; ++i) {
      if (movies.LoadMovieFile(kFirstSlot + i, clips.Path(i + 1)) == 0) std::abort();
    }
  }
  platform::ManualClock clock;
  platform::HeadlessDisplay display;
  Screen screen;
  platform::GstMoviePlayer player;
  Movies movies;
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
