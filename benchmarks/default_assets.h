#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace grumbol::testing {

// Writes the game's default assets into `dir`/GFX with the asset maker the build made;
// whether it succeeded.
inline bool MakeDefaultAssets(const std::filesystem::path& dir) {
  const std::string command = std::string(GRUMBOL_MAKE_GFX) + " " + dir.string() + " >/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace grumbol::testing
