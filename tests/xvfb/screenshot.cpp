#include "tests/xvfb/screenshot.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

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
  const std::filesystem::path dir = GRUMBOL_SCREENSHOT_DIR;
  std::filesystem::create_directories(dir);
  const std::string xwd = (dir / (name + ".xwd")).string();
  const std::string png = (dir / (name + ".png")).string();
  taken_at_ = std::chrono::steady_clock::now();
  if (RunShell("xwd -root -silent -out " + ShellQuote(xwd)) != 0) return;
  // The size from the dump's header: big-endian 32-bit words, the width and height at 16 and 20.
  std::uint8_t header[24];
  if (!std::ifstream(xwd, std::ios::binary).read(reinterpret_cast<char*>(header), sizeof header))
    return;
  const auto word = [&](int at) {
    return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3];
  };
  width_ = word(16);
  height_ = word(20);
  if (width_ <= 0 || height_ <= 0 || width_ > 8192 || height_ > 8192) return;
  FILE* raw = popen(
      ("convert " + ShellQuote(xwd) + " -write png:" + ShellQuote(png) + " -depth 8 rgb:-").c_str(),
      "r");
  if (raw == nullptr) return;
  rgb_.resize(static_cast<std::size_t>(width_) * height_ * 3);
  const std::size_t got = std::fread(rgb_.data(), 1, rgb_.size(), raw);
  if (pclose(raw) != 0 || got != rgb_.size()) rgb_.clear();
  std::filesystem::remove(xwd);
}

}  // namespace grumbol::testing
