#include "tests/xvfb/screenshot.h"

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

}  // namespace

int RunShell(const std::string& command) { return std::system(command.c_str()); }

::testing::AssertionResult Near(Rgb actual, Rgb expected) {
  auto close = [](int a, int e) { return std::abs(a - e) <= 8; };
  if (close(actual.r, expected.r) && close(actual.g, expected.g) && close(actual.b, expected.b)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got (" << actual.r << ", " << actual.g << ", " << actual.b << "), expected ("
         << expected.r << ", " << expected.g << ", " << expected.b << ")";
}

Screenshot::Screenshot(const std::string& name) {
  const std::filesystem::path dir = GRUMBOL_SCREENSHOT_DIR;
  std::filesystem::create_directories(dir);
  const std::string xwd = (dir / (name + ".xwd")).string();
  const std::string png = (dir / (name + ".png")).string();
  if (RunShell("xwd -root -silent -out " + ShellQuote(xwd)) != 0) return;
  RunShell("convert " + ShellQuote(xwd) + " png:" + ShellQuote(png));
  FILE* size = popen(("identify -format '%w %h' " + ShellQuote(xwd)).c_str(), "r");
  if (size == nullptr) return;
  const bool sized = std::fscanf(size, "%d %d", &width_, &height_) == 2;
  if (pclose(size) != 0 || !sized || width_ <= 0 || height_ <= 0) return;
  FILE* raw = popen(("convert " + ShellQuote(xwd) + " -depth 8 rgb:-").c_str(), "r");
  if (raw == nullptr) return;
  rgb_.resize(static_cast<std::size_t>(width_) * height_ * 3);
  const std::size_t got = std::fread(rgb_.data(), 1, rgb_.size(), raw);
  if (pclose(raw) != 0 || got != rgb_.size()) rgb_.clear();
  std::filesystem::remove(xwd);
}

}  // namespace grumbol::testing
