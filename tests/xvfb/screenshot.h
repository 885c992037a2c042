#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace grumbol::testing {

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};

// Runs a shell command (xdotool, xwd ...); its exit status.
int RunShell(const std::string& command);

// The whole screen as the player sees it (of the X server, or of the Wayland compositor when
// WAYLAND_DISPLAY is set), also kept as NAME.png in the folder GRUMBOL_SCREENSHOT_DIR to look
// at.
class Screenshot {
 public:
  explicit Screenshot(const std::string& name);
  // The picture of a PNG file.
  static Screenshot OfFile(const std::string& png);
  bool Taken() const { return !rgb_.empty(); }
  int width() const { return width_; }
  int height() const { return height_; }
  // When the X server was asked for the picture.
  std::chrono::steady_clock::time_point taken_at() const { return taken_at_; }
  Rgb At(int x, int y) const {
    const std::uint8_t* p = &rgb_[(static_cast<std::size_t>(y) * width_ + x) * 3];
    return {p[0], p[1], p[2]};
  }

 private:
  Screenshot() = default;
  // One try: true when the picture was taken.
  bool Grab(bool on_wayland, const std::string& png);
  // Reads the picture a shell command prints as a binary PPM; true when it was read.
  bool Read(const std::string& command);

  int width_ = 0;
  int height_ = 0;
  std::chrono::steady_clock::time_point taken_at_;
  std::vector<std::uint8_t> rgb_;
};

}  // namespace grumbol::testing
