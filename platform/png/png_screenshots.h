#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace grumbol::platform {

// Saves frames as PNG files in a folder (made when missing), named by the date and time they
// were taken, on a thread of its own: the game does not wait for the compression.
class PngScreenshots {
 public:
  // Frames waiting to be written; more are dropped (F12 pressed faster than they are written).
  static constexpr std::size_t kMaxWaiting = 4;

  explicit PngScreenshots(std::string folder);
  // Writes what is waiting, then ends the thread.
  ~PngScreenshots();
  PngScreenshots(const PngScreenshots&) = delete;
  PngScreenshots& operator=(const PngScreenshots&) = delete;

  // `bgrx`: `height` rows of `width` pixels, the bytes of each blue, green, red and unused.
  void Save(std::vector<std::uint8_t> bgrx, int width, int height);

 private:
  struct Frame {
    std::vector<std::uint8_t> bgrx;
    int width = 0;
    int height = 0;
    std::string name;  // the file's name, from the time it was taken
  };
  void Run(std::stop_token stop);
  void Write(const Frame& frame);

  std::string folder_;
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::deque<Frame> waiting_;
  std::jthread writer_;  // last: it stops and joins before the rest goes
};

}  // namespace grumbol::platform
