// The program's entry: the command line, where the files are, the real backends (SDL2 display
// and input, OpenAL Soft sound, GStreamer movies, GTK3 dialogs, POSIX clock and files), wired
// once, then the game.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "audio/movies.h"
#include "audio/sounds.h"
#include "game/command_line.h"
#include "game/folders.h"
#include "game/game.h"
#include "game/score_list.h"
#include "input/direct_input.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/log.h"
#include "platform/mapped_file_system.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/system_clock.h"
#include "platform/sdl/gst_movie_player.h"
#include "platform/sdl/gtk_dialogs.h"
#include "platform/sdl/openal_audio.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_input.h"

namespace {

using namespace grumbol;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

game::Folders FindFolders() {
  std::error_code error;
  const bool portable = std::filesystem::is_directory("GFX", error);
  const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
  game::Folders folders = game::ChooseFolders(portable, program, Environment("XDG_DATA_HOME"), Environment("HOME"));
  if (folders.portable) {
    platform::LogDetail("files: the GFX folder here (pictures, sounds, movies and the record file)");
  } else {
    platform::LogDetail("files: pictures, sounds and movies from " + folders.data + "/GFX, records in " + folders.records);
  }
  return folders;
}

// The player's best games, from the record file the game would write to.
int PrintScores(platform::FileSystem& files, const game::Folders& folders, int count) {
  const std::string where = folders.portable ? "GFX/Vusk.qzc" : folders.records;
  constexpr std::int64_t kMaxRecordBytes = std::int64_t{64} << 20;
  const auto records = platform::ReadWholeFile(files, game::Game::kRecordPath, kMaxRecordBytes);
  if (!records) {
    if (files.Open(game::Game::kRecordPath, platform::FileAccess::kRead, platform::FileDisposition::kOpenExisting)) {
      std::cerr << "grumbol: the record file " << where << " is larger than 64 MiB\n";
      return 1;
    }
    std::cout << "No games recorded yet (" << where << ").\n";
    return 0;
  }
  const std::string text(records->begin(), records->end());
  std::cout << game::BestScores(text, count).Format();
  return 0;
}

// The libraries say nothing on their own: ALSA and OpenAL Soft fill a screen on a machine
// without a sound card, and Wayland's client library complains when it is tried without a
// Wayland session. What matters is said by the game, once.
void QuietLibraries(const game::Folders& folders) {
  setenv("ALSOFT_LOGLEVEL", "0", 0);
  if (!folders.portable) {
    // The short mixing period, from the data folder (OpenAL Soft looks beside the program).
    const std::string conf = folders.data + "/alsoft.conf";
    if (access(conf.c_str(), R_OK) == 0) setenv("ALSOFT_CONF", conf.c_str(), 0);
  }
  if (Environment("WAYLAND_DISPLAY").empty()) {
    setenv("SDL_VIDEODRIVER", "x11", 0);
    setenv("GDK_BACKEND", "x11", 0);
  }
}

int Play(const game::CommandLine& command, platform::FileSystem& file_system) {
  platform::SystemClock clock;
  platform::SdlDisplay display(platform::SdlDisplay::Options{.windowed = command.window});
  platform::SdlInput input_system(display);
  platform::OpenAlSystem audio_system;
  platform::GstMoviePlayer movie_player;
  platform::GtkDialogs gtk_dialogs;

  // The runtime: text drawing, files, picture decoders and dialogs are ready before the
  // game's first step.
  ScratchText scratch;
  RandomGenerator random(clock);
  TextDrawing text;
  DataFiles files(file_system);
  MessageDialogs dialogs(gtk_dialogs);

  Screen screen(display, clock);
  Sprites sprites(screen, file_system);
  Sounds sounds(screen, file_system, audio_system);
  Movies movies(screen, movie_player);
  DirectInput direct_input(input_system);
  Keyboard keyboard(direct_input, screen);
  Mouse mouse(direct_input, screen);

  game::Media media{screen, sprites, text,   sounds, movies, keyboard,
                    mouse,  files,   dialogs, random, clock,  scratch};
  game::Game game(media);
  const int status = game.Run(std::cerr);
  // GRUMBOL_STATS=1: how well the game kept its beat of 60 steps a second.
  if (Environment("GRUMBOL_STATS") == "1") std::cerr << "grumbol: " << screen.step_stats().Summary() << "\n";
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const game::CommandLine command = game::CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
  switch (command.action) {
    case game::CommandLine::Action::kError:
      std::cerr << "grumbol: " << command.error << " (grumbol --help tells the options)\n";
      return 2;
    case game::CommandLine::Action::kHelp: std::cout << game::CommandLine::Help(); return 0;
    case game::CommandLine::Action::kVersion: std::cout << "grumbol " << GRUMBOL_VERSION << "\n"; return 0;
    case game::CommandLine::Action::kScores:
    case game::CommandLine::Action::kPlay: break;
  }

  const game::Folders folders = FindFolders();
  platform::PosixFileSystem posix_files;
  platform::MappedFileSystem file_system(posix_files, folders.Mappings());
  if (command.action == game::CommandLine::Action::kScores) return PrintScores(file_system, folders, command.scores);

  // Said before any library can say anything else.
  if (Environment("DISPLAY").empty() && Environment("WAYLAND_DISPLAY").empty()) {
    platform::LogNotice("no display to show the game on (is DISPLAY set, is an X server running?)");
    return 1;
  }
  QuietLibraries(folders);
  std::error_code error;
  if (!folders.portable && !std::filesystem::is_directory(folders.data + "/GFX", error)) {
    platform::LogNotice("no GFX folder here and none installed in " + folders.data + "; playing without pictures");
  }
  return Play(command, file_system);
}
