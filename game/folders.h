#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/mapped_file_system.h"

namespace grumbol::game {

// Where the game finds its pictures, sounds and movies and keeps its record file.
struct Folders {
  // A GFX folder in the working folder: everything is there, by the names the game uses
  // (the portable layout). Otherwise the installed one:
  bool portable = true;
  std::string data;     // the installed folder that holds GFX/ and alsoft.conf
  std::string records;  // the record file, in the player's own data folder

  // How the game's file names reach those folders.
  std::vector<platform::MappedFileSystem::Mapping> Mappings() const;
};

// Chooses the layout. `program` is the running program's path (its data are installed in
// ../share/grumbol beside its bin folder); `xdg_data_home` and `home` are those variables of
// the environment, or empty.
Folders ChooseFolders(bool working_folder_has_gfx, const std::string& program,
                      const std::string& xdg_data_home, const std::string& home);

// The player's settings folder: $XDG_CONFIG_HOME (`xdg_config_home`) when it is absolute,
// else ~/.config.
std::string ConfigFolder(const std::string& xdg_config_home, const std::string& home);

// The folder screenshots go into: Grumbol in the player's pictures folder, which is
// $XDG_PICTURES_DIR (`pictures_dir`), else the one the desktop's user-dirs.dirs names
// (`user_dirs`, that file's text), else ~/Pictures.
std::string ScreenshotFolder(const std::string& pictures_dir, std::string_view user_dirs,
                             const std::string& home);

}  // namespace grumbol::game
