#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

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
  bool Start() override;
  std::unique_ptr<Movie> Open(const std::string& path) override { return OpenMovie(path); }
  // The same with the concrete type. Backslashes in `path` are taken as folder separators.
  std::unique_ptr<GstMovie> OpenMovie(const std::string& path);

 private:
  std::optional<gst::Library> library_;
  // The sound output, chosen once: searching for one anew for every movie costs start-up
  // time (and, with no sound card, an error message per movie).
  std::string audio_sink_;
};

}  // namespace grumbol::platform
