#include "game/command_line.h"

#include <limits>
#include <optional>

#include "game/settings.h"
#include "runtime/text.h"

namespace grumbol::game {

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
  CommandLine line;
  const auto fail = [&line](std::string error) {
    line.action = Action::kError;
    line.error = std::move(error);
    return line;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--window" || arg == "--fullscreen") {
      line.full_screen = arg == "--fullscreen";
    } else if (arg == "--mouse-speed") {
      const std::string speed = i + 1 < args.size() ? args[++i] : "";
      line.mouse_speed = ParseNumber(speed, Settings::kMinMouseSpeed, Settings::kMaxMouseSpeed);
      if (!line.mouse_speed)
        return fail("--mouse-speed takes a percentage from 25 to 400, not '" + speed + "'");
    } else if (arg == "--help" || arg == "-h") {
      line.action = Action::kHelp;
    } else if (arg == "--version") {
      line.action = Action::kVersion;
    } else if (arg == "--settings") {
      line.action = Action::kSettings;
    } else if (arg == "--record" || arg == "--replay" || arg == "--verify") {
      if (i + 1 >= args.size() || args[i + 1].empty())
        return fail(arg + " needs the replay file's name");
      if (arg == "--record") {
        line.record = args[++i];
      } else {
        line.action = arg == "--replay" ? Action::kReplay : Action::kVerify;
        line.replay = args[++i];
      }
    } else if (arg == "--scores") {
      line.action = Action::kScores;
      if (i + 1 < args.size() && !args[i + 1].starts_with("-")) {
        const std::string& count = args[++i];
        const std::optional<int> games = ParseNumber(count, 1, std::numeric_limits<int>::max());
        if (!games) return fail("--scores takes a number of games from 1 up, not '" + count + "'");
        line.scores = *games;
      }
    } else {
      return fail("unknown option '" + arg + "'");
    }
  }
  return line;
}

std::string CommandLine::Help() {
  return "Usage: grumbol [--window | --fullscreen] [--mouse-speed N] [--record FILE]\n"
         "       grumbol [--window | --fullscreen] --replay FILE\n"
         "       grumbol --verify FILE\n"
         "       grumbol --scores [N]\n"
         "       grumbol --settings\n"
         "       grumbol --help | --version\n"
         "\n"
         "A mouse shooting game: fish swim in from the left; aim the cross-hair with the mouse\n"
         "and shoot them with the left button before they get through on the right. Eleven\n"
         "fish through, or Escape, end the game; its score is added to the record file.\n"
         "\n"
         "  --window         play in a window instead of full screen (Alt+Enter switches)\n"
         "  --fullscreen     play covering the screen\n"
         "  --mouse-speed N  move the cross-hair N percent of a picture pixel for each count of\n"
         "                   the mouse (25 to 400; 100: one pixel a count)\n"
         "  --record FILE    play, and write the game into FILE as it goes: a replay\n"
         "  --replay FILE    show a recorded game again (Escape ends it); no record line\n"
         "  --verify FILE    replay a recorded game without showing it, as fast as it runs,\n"
         "                   and say whether its steps, score, misses and cheat come out as\n"
         "                   recorded (exit status 0) or not (1)\n"
         "  --scores [N]     print the N best games of the record file (10 if N is left out)\n"
         "  --settings       open the settings window: the mouse speed, tried in a field, the\n"
         "                   mouse's own counts or the desktop pointer's motion, full screen\n"
         "                   or window\n"
         "  --help           print this help\n"
         "  --version        print the game's version\n"
         "\n"
         "Files: with a GFX folder in the working folder, the game reads its pictures, sounds\n"
         "and movies from there and keeps its record file in it (GFX/Vusk.qzc); otherwise\n"
         "it reads the installed ones and keeps the record file in\n"
         "$XDG_DATA_HOME/grumbol/Vusk.qzc (~/.local/share/grumbol/Vusk.qzc).\n"
         "\n"
         "Settings: $XDG_CONFIG_HOME/grumbol/settings.conf (~/.config/grumbol/settings.conf)\n"
         "keeps the mouse speed and motion, full screen or window, and the window's size;\n"
         "the game writes it as they change, and the settings window as the player saves.\n"
         "The options above override it for one run.\n"
         "\n"
         "Environment: GRUMBOL_LOG=1 says what the game chose and what failed, on standard\n"
         "error; GRUMBOL_STATS=1 says at the end how well it kept 60 steps a second.\n";
}

}  // namespace grumbol::game
