#include "tests/xvfb/screenshot.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace grumbol::testing {

namespace {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

int RunShell(const std::string& command) { return std::system(command.c_str()); }

Screenshot::Screenshot(const std::string& name) {
  // The same test runs on an X server of its own and under a Wayland compositor, with and
  // without its X server, maybe at once: a folder for each.
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* x = std::getenv("DISPLAY");
  const bool on_wayland = wayland != nullptr && *wayland != '\0';
  const bool on_x = x != nullptr && *x != '\0';
  const std::filesystem::path dir =
      std::filesystem::path(GRUMBOL_SCREENSHOT_DIR) / (!on_wayland ? "x11"
                                                       : on_x      ? "xwayland"
                                                                   : "wayland");
  std::filesystem::create_directories(dir);
  const std::string png = (dir / (name + ".png")).string();
  // A grab can fail while the output changes (a window going full screen): tried again.
  for (int tries = 0; tries < 3 && !Grab(on_wayland, png); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

bool Screenshot::Grab(bool on_wayland, const std::string& png) {
  taken_at_ = std::chrono::steady_clock::now();
  // The X server's root window, or on Wayland the compositor's output (an X server of the
  // compositor's own draws nothing into its root window); kept as PNG and read as PPM.
  const std::string grab =
      on_wayland ? "grim -t ppm - | convert ppm:-" : "xwd -root -silent | convert xwd:-";
  return Read(grab + " -write png:" + ShellQuote(png) + " +set comment -depth 8 ppm:-");
}

Screenshot Screenshot::OfFile(const std::string& png) {
  Screenshot picture;
  picture.Read("convert png:" + ShellQuote(png) + " +set comment -depth 8 ppm:-");
  return picture;
}

bool Screenshot::Read(const std::string& command) {
  FILE* raw = popen(command.c_str(), "r");
  if (raw == nullptr) return false;
  // A binary PPM without comments: "P6", the width, the height and the largest value, one
  // white-space character, then the pixels.
  if (std::fscanf(raw, "P6 %d %d 255", &width_, &height_) == 2 && std::fgetc(raw) != EOF &&
      width_ > 0 && height_ > 0 && width_ <= 8192 && height_ <= 8192) {
    rgb_.resize(static_cast<std::size_t>(width_) * height_ * 3);
    if (std::fread(rgb_.data(), 1, rgb_.size(), raw) != rgb_.size()) rgb_.clear();
  }
  // Read to its end whatever was not taken, so that the converter does not wait on the pipe.
  char rest[4096];
  while (std::fread(rest, 1, sizeof rest, raw) > 0) {
  }
  if (pclose(raw) != 0) rgb_.clear();
  return Taken();
}

}  // namespace grumbol::testing
