#pragma once

#include <string>
#include <string_view>

namespace grumbol::game {

// What the player chose that stays between runs, kept as plain "key = value" lines with a
// comment each.
struct Settings {
  static constexpr int kMinMouseSpeed = 25, kMaxMouseSpeed = 400;
  static constexpr int kMinWindowSide = 320, kMaxWindowSide = 16384;

  int mouse_speed = 100;        // percent of one picture pixel per mouse count
  bool desktop_motion = false;  // counts as the desktop's pointer moves, not the mouse's own
  bool full_screen = true;
  int window_width = 1024;  // the window's size when the game does not cover the screen
  int window_height = 768;

  bool operator==(const Settings&) const = default;
};

// Settings as read, and what was wrong with the text: empty when nothing was. A line that
// cannot be read leaves its setting at the default; a value out of range is clamped.
struct ReadSettings {
  Settings settings;
  std::string problem;  // the first line that could not be read, and why
};

ReadSettings ParseSettings(std::string_view text);
std::string FormatSettings(const Settings& settings);

// $XDG_CONFIG_HOME/grumbol/settings.conf, or ~/.config/grumbol/settings.conf without it.
std::string SettingsPath(const std::string& config_home, const std::string& home);

// The file's settings: the defaults without a file, and also, with the problem told, for a
// file that cannot be read.
ReadSettings LoadSettings(const std::string& path);
// Writes the file whole, its folder made where missing: a temporary file beside it, then
// renamed over it, so that a reader never meets half a file. False when that failed.
bool SaveSettings(const std::string& path, const Settings& settings);

}  // namespace grumbol::game
