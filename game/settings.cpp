#include "game/settings.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

#include "game/folders.h"
#include "runtime/text.h"

namespace grumbol::game {
namespace {

// Settings files are a few lines: anything larger is not one.
constexpr std::uintmax_t kMaxFileBytes = 64 * 1024;

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// A whole number, clamped into [low, high] however many digits it has; nullopt for other text.
std::optional<int> ClampedNumber(std::string_view text, int low, int high) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative || (!text.empty() && text.front() == '+')) text.remove_prefix(1);
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  long long value = 0;
  for (const char c : text) {
    value = std::min<long long>(value * 10 + (c - '0'), 1LL << 40);  // beyond any bound
  }
  return static_cast<int>(std::clamp<long long>(negative ? -value : value, low, high));
}

std::optional<bool> Desktop(std::string_view text) {
  if (text == "desktop") return true;
  if (text == "raw") return false;
  return std::nullopt;
}

std::optional<bool> YesNo(std::string_view text) {
  if (text == "yes") return true;
  if (text == "no") return false;
  return std::nullopt;
}

// Sets `field` to `value` if there is one; false if there is not.
template <typename T>
bool Set(T& field, std::optional<T> value) {
  if (value) field = *value;
  return value.has_value();
}

bool Apply(Settings& s, std::string_view key, std::string_view value) {
  constexpr int kMinSide = Settings::kMinWindowSide, kMaxSide = Settings::kMaxWindowSide;
  if (key == "mouse_speed")
    return Set(s.mouse_speed,
               ClampedNumber(value, Settings::kMinMouseSpeed, Settings::kMaxMouseSpeed));
  if (key == "mouse_motion") return Set(s.desktop_motion, Desktop(value));
  if (key == "full_screen") return Set(s.full_screen, YesNo(value));
  if (key == "window_width") return Set(s.window_width, ClampedNumber(value, kMinSide, kMaxSide));
  if (key == "window_height") return Set(s.window_height, ClampedNumber(value, kMinSide, kMaxSide));
  return false;
}

}  // namespace

ReadSettings ParseSettings(std::string_view text) {
  ReadSettings read;
  for (int number = 1; !text.empty(); ++number) {
    const std::string_view line = Trim(TakeLine(text));
    if (line.empty() || line.front() == '#') continue;
    const std::size_t equals = line.find('=');
    const bool understood =
        equals != line.npos &&
        Apply(read.settings, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
    if (!understood && read.problem.empty())
      read.problem = "line " + std::to_string(number) + " is not 'key = value' of a setting";
  }
  return read;
}

std::string FormatSettings(const Settings& s) {
  return "# Grumbol's settings. The game writes them; grumbol --help tells the options that\n"
         "# override them for one run.\n"
         "\n"
         "# How far the cross-hair moves for each count of the mouse, in percent of a picture\n"
         "# pixel (25 to 400).\n"
         "mouse_speed = " +
         std::to_string(s.mouse_speed) +
         "\n"
         "# raw: the mouse's own counts; desktop: as far as the desktop's pointer would move,\n"
         "# with the acceleration set for it.\n"
         "mouse_motion = " +
         (s.desktop_motion ? "desktop" : "raw") +
         "\n"
         "# yes: the game covers the screen; no: it plays in a window (Alt+Enter switches).\n"
         "full_screen = " +
         (s.full_screen ? "yes" : "no") +
         "\n"
         "# The window's size in pixels, as the player left it.\n"
         "window_width = " +
         std::to_string(s.window_width) + "\nwindow_height = " + std::to_string(s.window_height) +
         "\n";
}

std::string SettingsPath(const std::string& config_home, const std::string& home) {
  return ConfigFolder(config_home, home) + "/grumbol/settings.conf";
}

ReadSettings LoadSettings(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return {};
  if (!std::filesystem::is_regular_file(path, error)) return {{}, "not a regular file"};
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kMaxFileBytes) return {{}, "too large for a settings file"};
  std::ifstream in(path, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  if (!in && !in.eof()) return {{}, "cannot be read"};
  return ParseSettings(text);
}

bool SaveSettings(const std::string& path, const Settings& settings) {
  const std::filesystem::path file(path);
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  const std::filesystem::path partial = path + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out << FormatSettings(settings);
    out.flush();
    if (!out) return false;
  }
  std::filesystem::rename(partial, file, error);
  if (!error) return true;
  std::filesystem::remove(partial, error);
  return false;
}

}  // namespace grumbol::game
