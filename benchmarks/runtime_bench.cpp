// Speeds of the runtime services, each beside a reference measured in the same run:
// RandomInt against std::mt19937_64 with std::uniform_int_distribution, and ReadLine against
// std::getline on an ifstream over the same file.
#include <benchmark/benchmark.h>

#include <fstream>
#include <random>
#include <string>

#include "platform/null/manual_clock.h"
#include "platform/posix/posix_file_system.h"
#include "runtime/data_files.h"
#include "runtime/random.h"
#include "runtime/text.h"
#include "tests/support/temp_dir.h"

namespace grumbol {
namespace {

void BM_RandomInt(benchmark::State& state) {
  platform::ManualClock clock;
  RandomGenerator generator(clock);
  generator.Seed(0);
  for (auto _ : state) benchmark::DoNotOptimize(generator.RandomInt(735));
}
BENCHMARK(BM_RandomInt);

void BM_Reference_Mt19937Uniform(benchmark::State& state) {
  std::mt19937_64 engine(0);
  std::uniform_int_distribution<int> range(0, 735);
  for (auto _ : state) benchmark::DoNotOptimize(range(engine));
}
BENCHMARK(BM_Reference_Mt19937Uniform);

// The score line's texts, built every frame.
void BM_ScoreLineTexts(benchmark::State& state) {
  ScratchText scratch;
  std::int32_t score = 0;
  for (auto _ : state) {
    auto points = scratch.Begin();
    points << "Punkte:" << score;
    benchmark::DoNotOptimize(points.View().data());
    auto misses = scratch.Begin();
    misses << "Durchgefallen:" << score / 10;
    benchmark::DoNotOptimize(misses.View().data());
    score += 10;
  }
}
BENCHMARK(BM_ScoreLineTexts);

void BM_Reference_StdStringConcat(benchmark::State& state) {
  std::int32_t score = 0;
  for (auto _ : state) {
    std::string points = "Punkte:" + std::to_string(score);
    benchmark::DoNotOptimize(points.data());
    std::string misses = "Durchgefallen:" + std::to_string(score / 10);
    benchmark::DoNotOptimize(misses.data());
    score += 10;
  }
}
BENCHMARK(BM_Reference_StdStringConcat);

struct LineFile {
  LineFile() {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 20000; ++i) out << "Anna: 120Player" << i << ": " << i * 10 << "\r\n";
  }
  testing::TempDir dir;
  const std::string path = dir.File("lines.txt");
};

void BM_ReadLineWholeFile(benchmark::State& state) {
  LineFile file;
  platform::PosixFileSystem file_system;
  DataFiles files(file_system);
  for (auto _ : state) {
    files.OpenFile(0, file.path, FileOpenMode::kReadExisting);
    std::size_t bytes = 0;
    for (std::string line = files.ReadLine(0); !line.empty(); line = files.ReadLine(0)) {
      bytes += line.size();
    }
    files.CloseRecordFile(0);
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_ReadLineWholeFile)->Unit(benchmark::kMillisecond);

void BM_Reference_GetlineWholeFile(benchmark::State& state) {
  LineFile file;
  for (auto _ : state) {
    std::ifstream in(file.path, std::ios::binary);
    std::size_t bytes = 0;
    for (std::string line; std::getline(in, line);) bytes += line.size();
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_Reference_GetlineWholeFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace grumbol
