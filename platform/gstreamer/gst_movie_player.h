#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "platform/gstreamer/gst_handles.h"
#include "platform/movie_player.h"

namespace grumbol::platform {

// A movie on one GStreamer playbin: pictures to an appsink as BGRx, sound through
// audiopanorama to the normal audio output (a silent sink where there is no sound device).
// The bus is read on the caller's thread whenever the movie is asked for its picture; no
// GLib main loop is needed.
class GstMovie final : public Movie {
 public:
  // Opens `uri` and waits for the first picture (or for the sound to be ready). Null when the
  // file cannot be played.
  // `audio_sink` names the element factory of the sound output.
  static std::unique_ptr<GstMovie> Open(const std::string& uri, const std::string& audio_sink);
  ~GstMovie() override;
  GstMovie(const GstMovie&) = delete;
  GstMovie& operator=(const GstMovie&) = delete;

  int PictureWidth() const override { return width_; }
  int PictureHeight() const override { return height_; }
  void Play() override;
  void StopAndRewind() override;
  void SetVolume(int hundredths_db) override;
  void SetBalance(int balance) override;
  const MoviePicture* Picture() override;

  // For inspection: the playbin and the balance element.
  GstElement* playbin() const { return playbin_.get(); }
  GstElement* panorama() const { return panorama_.get(); }

 private:
  GstMovie(gst::ElementPtr playbin, gst::ElementPtr panorama, gst::ElementPtr sink);
  bool WaitForPreroll(const std::string& uri);
  void ReadSize();
  void DrainBus();

  gst::ElementPtr playbin_;
  gst::ElementPtr panorama_;
  gst::ElementPtr sink_;
  gst::BusPtr bus_;
  int width_ = -1;
  int height_ = -1;
  std::optional<int> volume_;   // the last values handed over, so that the game's calls
  std::optional<int> balance_;  // every frame cost nothing when they do not change
  MoviePicture picture_;
  bool has_picture_ = false;
  bool at_start_ = true;  // paused at the beginning: stopping and rewinding would change nothing
};

// Opens movies with GStreamer.
class GstMoviePlayer final : public MoviePlayer {
 public:
  // OpenAhead opens every file in `ahead_folder` whose name ends in `ahead_extension` beside
  // the game, one after another (the player types a name meanwhile), and Open takes them as
  // they are asked for; none with an empty folder.
  GstMoviePlayer() = default;
  GstMoviePlayer(std::string ahead_folder, std::string ahead_extension)
      : ahead_folder_(std::move(ahead_folder)), ahead_extension_(std::move(ahead_extension)) {}
  ~GstMoviePlayer() override;
  GstMoviePlayer(const GstMoviePlayer&) = delete;
  GstMoviePlayer& operator=(const GstMoviePlayer&) = delete;

  // With a folder to open ahead, GStreamer comes up with those movies (OpenAhead), and Start
  // answers true at once.
  bool Start() override;
  // Brings GStreamer up if it is not, chooses the sound output and opens the movies ahead, on a
  // thread of their own, unless that has begun; after Start. The first Open does it otherwise.
  void OpenAhead();
  std::unique_ptr<Movie> Open(const std::string& path) override { return OpenMovie(path); }
  // The same with the concrete type. Backslashes in `path` are taken as folder separators.
  std::unique_ptr<GstMovie> OpenMovie(const std::string& path);

 private:
  void ChooseOutputAndOpenAhead();
  void WaitForAhead();

  std::string ahead_folder_;
  std::string ahead_extension_;
  // The movies opened ahead by their file's URI, null where the file cannot be played; each
  // is taken once.
  std::map<std::string, std::unique_ptr<GstMovie>> ahead_;
  std::optional<gst::Library> library_;
  // The sound output, chosen once: searching for one anew for every movie costs start-up
  // time (and, with no sound card, an error message per movie).
  std::string audio_sink_;
  // One movie at a time, so that the game keeps a core; joined before the first Open.
  std::thread ahead_thread_;
  bool started_ = false;
  bool ahead_begun_ = false;
};

}  // namespace grumbol::platform
