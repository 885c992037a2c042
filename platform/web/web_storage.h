#pragma once

#include <string>

namespace grumbol::platform {

// A folder of the page's file system kept in the browser's IndexedDB (emscripten's IDBFS), so
// that what the game writes there survives a reload. Loaded when made; written back by Save.
class BrowserFolder {
 public:
  explicit BrowserFolder(std::string path);
  BrowserFolder(const BrowserFolder&) = delete;
  BrowserFolder& operator=(const BrowserFolder&) = delete;

  const std::string& path() const { return path_; }
  // Whether the browser's copy was read (false: the folder starts empty and is kept in memory).
  bool loaded() const { return loaded_; }
  // Writes the folder back to the browser's storage; false (said in the log) when it failed.
  bool Save();

 private:
  std::string path_;
  bool loaded_ = false;
};

}  // namespace grumbol::platform
