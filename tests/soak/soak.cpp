// grumbol_soak GAMES [FIRST_SEED]
//
// Plays GAMES whole headless games one after the other, each with random input from its own
// seed (shots, pointer movement, hot keys, the cheats under the cheat name, Escape at a
// random frame), all writing to one record file. After each game the record file must hold
// exactly one whole line per game so far, the last one this game's. Prints the first failing
// seed and exits 1; built with the sanitizers, any bad access or leak also fails the run.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <vector>

#include "game/scan_codes.h"
#include "platform/posix/posix_file_system.h"
#include "tests/support/game_rig.h"
#include "tests/support/test_assets.h"
#include "tests/support/working_dir.h"

namespace grumbol {
namespace {

using Kind = platform::HeadlessInput::Action::Kind;
using namespace game;

constexpr int kKeys[] = {DIK_0, DIK_1, DIK_2, DIK_3, DIK_4, DIK_5, DIK_6, DIK_7, DIK_8,
                         DIK_9, DIK_O, DIK_P, DIK_K, DIK_L, DIK_F, DIK_Z, DIK_C, DIK_D};
constexpr std::size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];

// One game from `seed`; the record file's expected content afterwards, or an error.
bool PlayGame(std::uint32_t seed, platform::FileSystem& file_system, std::string& record,
              std::string& error) {
  std::mt19937 random(seed);
  auto chance = [&random](int percent) { return static_cast<int>(random() % 100) < percent; };
  const std::string name = chance(30) ? "Quorvel" : 'P' + std::to_string(seed);
  platform::RecordingMoviePlayer player(testing::kGameMovies);
  testing::GameRig rig(chance(90), file_system, player, {name},
                       static_cast<std::uint32_t>(random()));
  if (!rig.Start()) {
    error = "no start";
    return false;
  }
  const int escape_frame = static_cast<int>(random() % 600);
  bool held[kKeyCount] = {};
  bool running = true;
  for (int frame = 0; running; ++frame) {
    if (frame >= escape_frame) rig.Do(Kind::kKeyDown, DIK_ESCAPE);
    for (std::size_t k = 0; k < kKeyCount; ++k) {
      // Rare presses, held a while; the splash key (1.5 s of the manual clock) rarer still.
      if ((!held[k] && (kKeys[k] == DIK_4 ? random() % 1000 == 0 : chance(2))) ||
          (held[k] && chance(20))) {
        held[k] = !held[k];
        rig.Do(held[k] ? Kind::kKeyDown : Kind::kKeyUp, kKeys[k]);
      }
    }
    if (chance(30))
      rig.Do(Kind::kMove, static_cast<int>(random() % 201) - 100,
             static_cast<int>(random() % 201) - 100);
    if (chance(10)) rig.Do(chance(50) ? Kind::kButtonDown : Kind::kButtonUp, 1);
    if (chance(3)) rig.Do(chance(50) ? Kind::kButtonDown : Kind::kButtonUp, 2);
    if (chance(1)) rig.Do(Kind::kWheel, chance(50) ? 120 : -120);
    running = rig.game.RunFrame();
  }
  rig.game.GameOver();

  const std::size_t first_end = record.find("\r\n");
  const std::string first = first_end == std::string::npos ? record : record.substr(0, first_end);
  std::ostringstream line;
  line << first << name << ": " << rig.game.state().score << rig.game.state().cheat_mark << "\r\n";
  record += line.str();
  if (rig.dialogs.shown().back().title != "Game Over") {
    error = "no Game Over box";
    return false;
  }
  return true;
}

int Main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: grumbol_soak GAMES [FIRST_SEED]\n");
    return 2;
  }
  const long games = std::strtol(argv[1], nullptr, 10);
  const std::uint32_t first_seed =
      argc > 2 ? static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;
  const testing::WorkingDir dir;
  testing::WriteTestAssets();
  platform::PosixFileSystem file_system;
  std::string record;
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  for (long game = 0; game < games; ++game) {
    const std::uint32_t seed = first_seed + static_cast<std::uint32_t>(game);
    std::string error;
    if (!PlayGame(seed, file_system, record, error)) {
    } else if (testing::ReadFileBytes("GFX/Vusk.qzc") != record) {
      error = "the record file is not one whole line per game";
    }
    if (!error.empty()) {
      std::fprintf(stderr, "soak: game %ld (seed %u): %s\n", game + 1, seed, error.c_str());
      status = 1;
      break;
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("soak: %ld games from seed %u, %s, %.1f s\n", games, first_seed,
              status == 0 ? "all fine" : "FAILED", seconds);
  return status;
}

}  // namespace
}  // namespace grumbol

int main(int argc, char** argv) { return grumbol::Main(argc, argv); }
