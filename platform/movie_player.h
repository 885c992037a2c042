#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace grumbol::platform {

// One decoded movie picture: rows top first, 4 bytes a pixel in the order B, G, R, unused.
struct MoviePicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgrx;  // width * 4 bytes a row, no padding

  const std::uint8_t* Row(int y) const {
    return bgrx.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
  }
};

// One opened media file, loaded and stopped at its beginning. Playback runs on threads of
// the media service; every call here returns without waiting for the playback itself.
class Movie {
 public:
  virtual ~Movie() = default;

  // The native picture size; -1 where the file has no picture or the size cannot be told.
  virtual int PictureWidth() const = 0;
  virtual int PictureHeight() const = 0;

  // Plays on from the current position.
  virtual void Play() = 0;
  // Stops and goes back to the beginning. The picture already shown is kept.
  virtual void StopAndRewind() = 0;

  // Level in hundredths of a decibel, 0 (full) down to -10000.
  virtual void SetVolume(int hundredths_db) = 0;
  // -10000 (left only) .. 0 (centre) .. 10000 (right only); a positive value takes
  // value / 100 dB off the left channel, a negative one as much off the right.
  virtual void SetBalance(int balance) = 0;

  // The newest picture shown since the last Play, or null when none has been shown. Also
  // takes in what the service reported since the last call. Valid until the next call.
  virtual const MoviePicture* Picture() = 0;
};

// The media playback service: opens any file it can play, picture and sound or sound alone.
class MoviePlayer {
 public:
  virtual ~MoviePlayer() = default;

  // Brings the service up. Harmless when it is up already; false when it cannot start. A
  // service brought up in the background (by the first Open at the latest) answers true, and
  // its Open answers null should it fail to start.
  virtual bool Start() = 0;

  // The movie in the native file `path` with its first picture ready, or null when the service is
  // not up or the file is missing or cannot be played.
  virtual std::unique_ptr<Movie> Open(const std::string& path) = 0;
};

}  // namespace grumbol::platform
