// The program's entry: the command line, where the files are, the backends wired once (the
// real ones, or none for verifying a replay), then the game: played, recorded, or replayed.

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "audio/movies.h"
#include "audio/sounds.h"
#include "game/command_line.h"
#include "game/folders.h"
#include "game/game.h"
#include "game/game_runs.h"
#include "game/media_stack.h"
#include "game/replay.h"
#include "game/score_list.h"
#include "game/settings.h"
#include "input/input_service.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/gstreamer/gst_movie_player.h"
#include "platform/gtk/gtk_dialogs.h"
#include "platform/gtk/gtk_settings_window.h"
#include "platform/gtk/gtk_start.h"
#include "platform/log.h"
#include "platform/mapped_file_system.h"
#include "platform/openal/openal_audio.h"
#include "platform/openal/quiet_alsa.h"
#include "platform/png/png_screenshots.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/system_clock.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_input.h"
#include "platform/sdl_ttf/ttf_fonts.h"

namespace {

using namespace grumbol;

// $HOME, or the user's home folder from the password database without it.
std::string HomeFolder() {
  std::string home = game::Environment("HOME");
  if (const passwd* user = home.empty() ? getpwuid(getuid()) : nullptr;
      user != nullptr && user->pw_dir != nullptr) {
    home = user->pw_dir;
  }
  return home;
}

game::Folders FindFolders() {
  std::error_code error;
  const bool portable = std::filesystem::is_directory("GFX", error);
  const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
  game::Folders folders =
      game::ChooseFolders(portable, program, game::Environment("XDG_DATA_HOME"), HomeFolder());
  if (folders.portable) {
    platform::LogDetail(
        "files: the GFX folder here (pictures, sounds, movies and the record file)");
  } else {
    platform::LogDetail("files: pictures, sounds and movies from " + folders.data +
                        "/GFX, records in " + folders.records);
  }
  return folders;
}

// The player's best games, from the record file the game would write to.
int PrintScores(platform::FileSystem& files, int count) {
  const std::string where = files.NativePath(game::Game::kRecordPath);
  const auto file = files.Open(game::Game::kRecordPath, platform::FileAccess::kRead,
                               platform::FileDisposition::kOpenExisting);
  if (!file) {
    std::cout << "No games recorded yet (" << where << ").\n";
    return 0;
  }
  const auto records = platform::ReadWholeFile(*file, game::kMaxWholeFileBytes);
  if (!records) {
    platform::LogNotice("the record file " + where + " is larger than 64 MiB");
    return 1;
  }
  const std::string text(records->begin(), records->end());
  std::cout << game::BestScores(text, count).Format();
  return 0;
}

// Settings the libraries read from the environment. They say nothing on their own: ALSA and
// OpenAL Soft fill a screen on a machine without a sound card, and Wayland's client library
// complains when it is tried without a Wayland session. What matters is said by the game, once.
void SetUpLibraries(const game::Folders& folders) {
  setenv("ALSOFT_LOGLEVEL", "0", 0);
  if (!folders.portable) {
    // The short mixing period, from the data folder (OpenAL Soft looks beside the program).
    const std::string conf = folders.data + "/alsoft.conf";
    if (access(conf.c_str(), R_OK) == 0) setenv("ALSOFT_CONF", conf.c_str(), 0);
  }
  if (game::Environment("WAYLAND_DISPLAY").empty()) setenv("SDL_VIDEODRIVER", "x11", 0);
  // The dialogs draw without OpenGL: GTK would load it (and with no GPU, Mesa's compiler)
  // only to choose its windows' visuals, a tenth of a second before the first box.
  setenv("GDK_GL", "disable", 0);
  // The game reads keys, not text: its window needs no compose table, which X's input method
  // would read as SDL starts (the locale's, thousands of lines: a tenth of the way to the first
  // box). GTK's dialogs compose with their own tables, unless they use X's input method too.
  if (game::Environment("GTK_IM_MODULE") != "xim") setenv("XCOMPOSEFILE", "/dev/null", 0);
  // The desktop finds the game's entry (icon, name) by the window's app id on Wayland and by
  // its class on X11, XWayland included.
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", GRUMBOL_APP_ID, 0);
  setenv("SDL_VIDEO_X11_WMCLASS", GRUMBOL_APP_ID, 0);
}

// The player's settings file, read once (a problem with it said once), with the command line's
// choices over it for this run; the window's mode and size written back as they change.
class PlayerSettings {
 public:
  explicit PlayerSettings(const game::CommandLine& command)
      : path_(game::SettingsPath(game::Environment("XDG_CONFIG_HOME"), HomeFolder())) {
    const game::ReadSettings read = game::LoadSettings(path_);
    if (!read.problem.empty())
      platform::LogDetail("settings: " + path_ + ": " + read.problem + "; the defaults stand");
    saved_ = read.settings;
    run_ = saved_;
    run_.full_screen = command.full_screen.value_or(run_.full_screen);
    run_.mouse_speed = command.mouse_speed.value_or(run_.mouse_speed);
  }

  const game::Settings& saved() const { return saved_; }
  const game::Settings& run() const { return run_; }

  // The mode only when the player switched it: a window resized in a run that --window asked
  // for leaves full screen to the next run.
  void WindowChanged(std::optional<bool> full_screen, int width, int height) {
    game::Settings changed = saved_;
    changed.full_screen = full_screen.value_or(changed.full_screen);
    changed.window_width =
        std::clamp(width, game::Settings::kMinWindowSide, game::Settings::kMaxWindowSide);
    changed.window_height =
        std::clamp(height, game::Settings::kMinWindowSide, game::Settings::kMaxWindowSide);
    Save(changed);
  }

  // Writes the file when `changed` differs from it; whether the file now holds `changed`.
  bool Save(const game::Settings& changed) {
    if (changed == saved_) return true;
    if (!game::SaveSettings(path_, changed)) {
      platform::LogDetail("settings: " + path_ + " cannot be written");
      return false;
    }
    saved_ = changed;
    return true;
  }

 private:
  std::string path_;
  game::Settings saved_;  // as in the file
  game::Settings run_;    // as this run plays
};

// The settings window, over the file's settings; the window's size stays as it is.
int ShowSettingsWindow(PlayerSettings& settings) {
  if (!platform::StartGtk("", GRUMBOL_APP_ID)) {
    platform::LogNotice("the settings window cannot open: GTK finds no display");
    return 1;
  }
  const game::Settings& file = settings.saved();
  platform::RunSettingsWindow({file.mouse_speed, file.desktop_motion, file.full_screen},
                              game::Settings::kMinMouseSpeed, game::Settings::kMaxMouseSpeed,
                              [&settings](const platform::PlayerChoices& chosen) {
                                game::Settings changed = settings.saved();
                                changed.mouse_speed = chosen.mouse_speed;
                                changed.desktop_motion = chosen.desktop_motion;
                                changed.full_screen = chosen.full_screen;
                                return settings.Save(changed);
                              });
  return 0;
}

// Where F12 saves the frame: Grumbol in the player's pictures folder, as the desktop names it.
std::string FindScreenshotFolder() {
  const std::string home = HomeFolder();
  std::ifstream names(game::ConfigFolder(game::Environment("XDG_CONFIG_HOME"), home) +
                      "/user-dirs.dirs");
  std::string text;
  std::getline(names, text, '\0');
  return game::ScreenshotFolder(game::Environment("XDG_PICTURES_DIR"), text, home);
}

// The stack on the real backends: SDL2 display and input, OpenAL Soft sound, GStreamer movies,
// GTK3 dialogs, SDL_ttf text; screenshots saved as PNG with libpng. What shows nothing is made
// ready beside what does: the sound device beside the display's start; GStreamer with the
// movies of `movie_folder`, and the fonts' configuration, while the player reads the first box.
struct RealMediaStack {
  RealMediaStack(PlayerSettings& settings, platform::FileSystem& files,
                 const std::string& movie_folder)
      : screenshots(FindScreenshotFolder()),
        display({.windowed = !settings.run().full_screen,
                 .window_width = settings.run().window_width,
                 .window_height = settings.run().window_height,
                 .window_changed =
                     [&settings](std::optional<bool> full_screen, int width, int height) {
                       settings.WindowChanged(full_screen, width, height);
                     },
                 .screenshot =
                     [this](std::vector<std::uint8_t> bgrx, int width, int height) {
                       screenshots.Save(std::move(bgrx), width, height);
                     }}),
        input_system(display, settings.run().mouse_speed, settings.run().desktop_motion),
        movie_player(movie_folder, ".qzm"),
        dialogs([this] { return display.VideoDriver(); }, GRUMBOL_APP_ID,
                [this] {
                  movie_player.OpenAhead();
                  fonts.LoadAhead();
                }),
        stack(clock, display, input_system, audio_system, movie_player, dialogs, files, fonts) {
    // A sound server takes a while to answer: asked beside the display's start, it has by the
    // time the game starts the sound.
    audio_system.OpenDefaultAhead();
  }
  platform::PngScreenshots screenshots;  // before the display, which hands it frames
  platform::SystemClock clock;
  platform::SdlDisplay display;
  platform::SdlInput input_system;
  platform::QuietAlsa quiet_alsa;
  platform::OpenAlSystem audio_system;
  platform::GstMoviePlayer movie_player;
  platform::GtkDialogs dialogs;
  platform::TtfFontSource fonts;
  game::MediaStack stack;
};

int Verify(const std::string& path, const game::Replay& replay) {
  double steps_per_second = 0;
  const game::ReplayVerdict verdict = game::VerifyReplay(replay, &steps_per_second);
  char rate[64];
  std::snprintf(rate, sizeof rate, " (%.0f steps/s)", steps_per_second);
  std::cout << path << ": " << verdict.says << rate << "\n";
  return verdict.same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const game::CommandLine command =
      game::CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
  switch (command.action) {
    case game::CommandLine::Action::kError:
      platform::LogNotice(command.error + " (grumbol --help tells the options)");
      return 2;
    case game::CommandLine::Action::kHelp: std::cout << game::CommandLine::Help(); return 0;
    case game::CommandLine::Action::kVersion:
      std::cout << "grumbol " << GRUMBOL_VERSION << "\n";
      return 0;
    case game::CommandLine::Action::kScores:
    case game::CommandLine::Action::kReplay:
    case game::CommandLine::Action::kVerify:
    case game::CommandLine::Action::kSettings:
    case game::CommandLine::Action::kPlay: break;
  }

  std::optional<game::Replay> replay;
  if (command.action == game::CommandLine::Action::kReplay ||
      command.action == game::CommandLine::Action::kVerify) {
    platform::PosixFileSystem files;
    replay = game::LoadReplay(files, command.replay);
    if (!replay) return 2;
    if (command.action == game::CommandLine::Action::kVerify)
      return Verify(command.replay, *replay);
  }

  const game::Folders folders = FindFolders();
  platform::PosixFileSystem posix_files;
  platform::MappedFileSystem file_system(posix_files, folders.Mappings());
  if (command.action == game::CommandLine::Action::kScores)
    return PrintScores(file_system, command.scores);

  // Said before any library can say anything else.
  if (game::Environment("DISPLAY").empty() && game::Environment("WAYLAND_DISPLAY").empty()) {
    platform::LogNotice("no display to show the game on (is DISPLAY set, is an X server running?)");
    return 1;
  }
  PlayerSettings settings(command);
  if (command.action == game::CommandLine::Action::kSettings) return ShowSettingsWindow(settings);
  SetUpLibraries(folders);
  std::error_code error;
  if (!folders.portable && !std::filesystem::is_directory(folders.data + "/GFX", error)) {
    platform::LogNotice("no GFX folder here and none installed in " + folders.data +
                        "; playing without pictures");
  }
  RealMediaStack real(settings, file_system, folders.portable ? "GFX" : folders.data + "/GFX");
  if (replay) return game::ShowReplay(real.stack, *replay);
  // The replay is written where the command line says, not mapped as the game's files are.
  return game::PlayGame(real.stack, posix_files, command.record);
}
