// grumbol_soak GAMES [FIRST_SEED]
//
// Plays GAMES whole headless games one after the other, each with random input from its own
// seed (shots, pointer movement, hot keys, the cheats under the cheat name, Escape at a
// random frame), all writing to one record file, which must then hold one whole line per game.
// Prints the first failing seed and exits 1; built with the sanitizers, any bad access or leak
// also fails the run.

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

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

// One game from `seed`; appends its line to `record` as the game should have written it.
// False, saying why, when the game cannot start.
bool PlayGame(std::uint32_t seed, platform::FileSystem& file_system, std::string& record) {
  std::mt19937 random(seed);
  auto chance = [&random](int percent) { return static_cast<int>(random() % 100) < percent; };
  const std::string name = chance(30) ? "Quorvel" : 'P' + std::to_string(seed);
  platform::RecordingMoviePlayer player(testing::kGameMovies);
  testing::GameRig rig(chance(90), file_system, player, {name},
                       static_cast<std::uint32_t>(random()));
  std::string why;
  if (!rig.Start(&why)) {
    std::fprintf(stderr, "soak: the game of seed %u could not start: %s", seed, why.c_str());
    return false;
  }
  const int escape_frame = static_cast<int>(random() % 600);
  bool held[std::size(kKeys)] = {};
  for (int frame = 0;; ++frame) {
    if (frame >= escape_frame) rig.Do(Kind::kKeyDown, DIK_ESCAPE);
    for (std::size_t k = 0; k < std::size(kKeys); ++k) {
      // Rare presses, held a while; the splash key (1.5 s of the manual clock) rarer still.
      if (held[k] ? chance(20) : kKeys[k] == DIK_4 ? random() % 1000 == 0 : chance(2)) {
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
    if (!rig.game.RunFrame()) break;
  }
  rig.game.GameOver();
  record += record.substr(0, record.find("\r\n")) + name + ": " +
            std::to_string(rig.game.state().score) + rig.game.state().cheat_mark + "\r\n";
  return true;
}

int Main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: grumbol_soak GAMES [FIRST_SEED]\n");
    return 2;
  }
  const long games = std::strtol(argv[1], nullptr, 10);
  const auto first_seed =
      static_cast<std::uint32_t>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1);
  const testing::WorkingDir dir;
  testing::WriteTestAssets();
  platform::PosixFileSystem file_system;
  std::string record;
  for (long game = 0; game < games; ++game) {
    const std::uint32_t seed = first_seed + static_cast<std::uint32_t>(game);
    if (!PlayGame(seed, file_system, record)) return 1;
    if (testing::ReadFileBytes("GFX/Vusk.qzc") != record) {
      std::fprintf(stderr,
                   "soak: game %ld (seed %u): the record file is not one whole line per game\n",
                   game + 1, seed);
      return 1;
    }
  }
  std::printf("soak: %ld games from seed %u, all fine\n", games, first_seed);
  return 0;
}

}  // namespace
}  // namespace grumbol

int main(int argc, char** argv) { return grumbol::Main(argc, argv); }
