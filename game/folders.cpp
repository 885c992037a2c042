#include "game/folders.h"

#include <string_view>

#include "game/game.h"
#include "runtime/text.h"

namespace grumbol::game {

namespace {

constexpr const char* kAppFolder = "grumbol";

// The record file keeps the name the game gives it.
std::string RecordFileName() {
  const std::string_view path = Game::kRecordPath;
  return std::string(path.substr(path.rfind('\\') + 1));
}

std::string Parent(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

Folders ChooseFolders(bool working_folder_has_gfx, const std::string& program,
                      const std::string& xdg_data_home, const std::string& home) {
  Folders folders;
  if (working_folder_has_gfx) return folders;
  folders.portable = false;
  folders.data = Parent(Parent(program)) + "/share/" + kAppFolder;
  // As freedesktop.org's base directories have it: a relative XDG_DATA_HOME is ignored.
  std::string data_home = xdg_data_home;
  if (data_home.empty() || data_home.front() != '/')
    data_home = home.empty() ? "." : home + "/.local/share";
  folders.records = data_home + "/" + kAppFolder + "/" + RecordFileName();
  return folders;
}

std::vector<platform::MappedFileSystem::Mapping> Folders::Mappings() const {
  if (portable) return {};
  return {{Game::kRecordPath, records}, {"GFX\\", data + "/GFX/"}};
}

std::string ConfigFolder(const std::string& xdg_config_home, const std::string& home) {
  // A relative XDG_CONFIG_HOME is to be ignored.
  return xdg_config_home.starts_with('/') ? xdg_config_home : home + "/.config";
}

std::string ScreenshotFolder(const std::string& pictures_dir, std::string_view user_dirs,
                             const std::string& home) {
  std::string pictures = pictures_dir;
  // Lines such as XDG_PICTURES_DIR="$HOME/Bilder", as xdg-user-dirs writes them.
  constexpr std::string_view kKey = "XDG_PICTURES_DIR=\"";
  while (pictures.empty() && !user_dirs.empty()) {
    const std::string_view line = TakeLine(user_dirs);
    if (!line.starts_with(kKey) || !line.ends_with('"')) continue;
    std::string_view value = line.substr(kKey.size(), line.size() - kKey.size() - 1);
    if (value.starts_with("$HOME")) {
      value.remove_prefix(5);
      pictures = home + std::string(value);
    } else {
      pictures = value;
    }
  }
  if (!pictures.starts_with('/')) pictures = home + "/Pictures";
  return pictures + "/Grumbol";
}

}  // namespace grumbol::game
