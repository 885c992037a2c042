#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/movie_player.h"

namespace grumbol::platform {

// A movie service that plays nothing: it opens the paths it was told exist and writes down
// every start and stop, by path.
class RecordingMoviePlayer final : public MoviePlayer {
 public:
  struct Event {
    std::string path;
    bool play;  // false: stop
    bool operator==(const Event&) const = default;
  };

  explicit RecordingMoviePlayer(std::set<std::string> existing = {})
      : existing_(std::move(existing)) {}

  bool Start() override { return true; }
  std::unique_ptr<Movie> Open(const std::string& path) override {
    if (existing_.count(path) == 0) return nullptr;
    return std::make_unique<RecordedMovie>(path, events_);
  }

  std::vector<Event>& events() { return events_; }

 private:
  class RecordedMovie final : public Movie {
   public:
    RecordedMovie(std::string path, std::vector<Event>& events)
        : path_(std::move(path)), events_(events) {}
    int PictureWidth() const override { return -1; }
    int PictureHeight() const override { return -1; }
    void Play() override { events_.push_back({path_, true}); }
    void StopAndRewind() override { events_.push_back({path_, false}); }
    void SetVolume(int) override {}
    void SetBalance(int) override {}
    const MoviePicture* Picture() override { return nullptr; }

   private:
    std::string path_;
    std::vector<Event>& events_;
  };

  std::set<std::string> existing_;
  std::vector<Event> events_;
};

}  // namespace grumbol::platform
