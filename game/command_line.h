#pragma once

#include <optional>
#include <string>
#include <vector>

namespace grumbol::game {

// What the player asked for on the command line.
struct CommandLine {
  enum class Action { kPlay, kHelp, kVersion, kScores, kReplay, kVerify, kSettings, kError };
  Action action = Action::kPlay;
  std::optional<bool> full_screen;  // --fullscreen or --window, over the settings file
  std::optional<int> mouse_speed;   // --mouse-speed, over the settings file
  int scores = 10;                  // how many games --scores lists
  std::string record;               // kPlay: the file the game is recorded into, if any
  std::string replay;               // kReplay, kVerify: the recorded game
  std::string error;                // what is wrong, for kError

  static CommandLine Parse(const std::vector<std::string>& args);
  static std::string Help();
};

}  // namespace grumbol::game
