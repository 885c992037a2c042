#include "tests/xvfb/screenshot.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace grumbol::testing {

namespace {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// The next word of a PPM header, past the comments (ImageMagick keeps one an X dump
// had), and the one white-space character after it.
std::string PpmToken(FILE* in) {
  std::string token;
  for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) {
    if (c == '#' && token.empty()) {
      while (c != EOF && c != '\n') c = std::fgetc(in);
    } else if (std::isspace(c)) {
      if (!token.empty()) break;
    } else {
      token += static_cast<char>(c);
    }
  }
  return token;
}

}  // namespace

int RunShell(const std::string& command) { return std::system(command.c_str()); }

Screenshot::Screenshot(const std::string& name) {
  const std::filesystem::path dir = GRUMBOL_SCREENSHOT_DIR;
  std::filesystem::create_directories(dir);
  const std::string png = (dir / (name + ".png")).string();
  taken_at_ = std::chrono::steady_clock::now();
  // The X server's root window, or on Wayland the compositor's output (an X server of the
  // compositor's own draws nothing into its root window).
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const std::string grab = wayland != nullptr && *wayland != '\0'
                               ? "grim " + ShellQuote(png)
                               : "xwd -root -silent | convert xwd:- " + ShellQuote(png);
  if (RunShell(grab) != 0) return;
  FILE* raw = popen(("convert " + ShellQuote(png) + " -depth 8 ppm:-").c_str(), "r");
  if (raw == nullptr) return;
  // A binary PPM: "P6", the width, the height and the largest value, then the pixels.
  const std::string magic = PpmToken(raw);
  width_ = std::atoi(PpmToken(raw).c_str());
  height_ = std::atoi(PpmToken(raw).c_str());
  if (magic == "P6" && width_ > 0 && height_ > 0 && width_ <= 8192 && height_ <= 8192 &&
      PpmToken(raw) == "255") {
    rgb_.resize(static_cast<std::size_t>(width_) * height_ * 3);
    if (std::fread(rgb_.data(), 1, rgb_.size(), raw) != rgb_.size()) rgb_.clear();
  }
  if (pclose(raw) != 0) rgb_.clear();
}

}  // namespace grumbol::testing
