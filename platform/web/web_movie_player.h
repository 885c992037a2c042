#pragma once

#include <memory>
#include <string>

#include "platform/movie_player.h"

namespace grumbol::platform {

// Movies on the page's <video> elements, played from the file's bytes in the preloaded data.
// The browser decodes and plays the sound; each picture the game presents is copied from the
// element. Pan (balance) has no effect here: a <video> has only a volume.
class WebMoviePlayer final : public MoviePlayer {
 public:
  // Start makes ready every file in `ahead_folder` whose name ends in `ahead_extension`, all at
  // once while the game goes on (the player types a name meanwhile); none with an empty folder.
  WebMoviePlayer(std::string ahead_folder, std::string ahead_extension);

  bool Start() override;
  // Waits (the game's stack is suspended) until the browser has the first picture, or has
  // refused the file.
  std::unique_ptr<Movie> Open(const std::string& path) override;

 private:
  std::string ahead_folder_;
  std::string ahead_extension_;
  bool started_ = false;
};

}  // namespace grumbol::platform
