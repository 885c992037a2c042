// make-gfx: writes the game's default pictures, sounds and movies.
//
//   make-gfx DIR            writes DIR/GFX/ (the whole set)
//   make-gfx --preview DIR  writes PNG previews of the pictures and movie frames to DIR/
//   make-gfx --icons DIR    writes the desktop icons, DIR/<size>x<size>/apps/*.png
//   make-gfx --list         prints the names of the files `make-gfx DIR` writes into GFX/

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bmp.h"
#include "icons.h"
#include "movies.h"
#include "pictures.h"
#include "sounds.h"

namespace {

namespace fs = std::filesystem;

// Written beside the target first, so that an interrupted run leaves no half file behind.
bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  const fs::path partial = path.string() + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) return false;
  }
  std::error_code error;
  fs::rename(partial, path, error);
  return !error;
}

bool Fail(const std::string& what) {
  std::fprintf(stderr, "make-gfx: %s\n", what.c_str());
  return false;
}

bool WriteSet(const fs::path& dir) {
  const fs::path gfx_dir = dir / "GFX";
  std::error_code error;
  fs::create_directories(gfx_dir, error);
  if (error) return Fail("cannot create " + gfx_dir.string());
  for (const gfx::Picture& picture : gfx::MakePictures()) {
    const auto bytes =
        picture.palette8 ? gfx::EncodeBmp8(picture.image) : gfx::EncodeBmp24(picture.image);
    if (!WriteFile(gfx_dir / picture.name, bytes)) return Fail("cannot write " + picture.name);
  }
  for (const gfx::Sound& sound : gfx::MakeSounds()) {
    if (!WriteFile(gfx_dir / sound.name, gfx::EncodeWave(sound.samples)))
      return Fail("cannot write " + sound.name);
  }
  return gfx::WriteMovies(gfx_dir);
}

bool WritePreviews(const fs::path& dir) {
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) return Fail("cannot create " + dir.string());
  const std::vector<gfx::Picture> pictures = gfx::MakePictures();
  for (const gfx::Picture& picture : pictures) {
    const std::string png =
        (dir / (picture.name.substr(0, picture.name.find('.')) + ".png")).string();
    if (!gfx::WritePng(picture.image, png.c_str())) return Fail("cannot write " + png);
  }
  // The game's screen: background, some fish in every stage, the cross-hair, the score line.
  auto find = [&](const std::string& name) -> const gfx::Image& {
    for (const gfx::Picture& picture : pictures)
      if (picture.name == name) return picture.image;
    return pictures.front().image;
  };
  gfx::Image screen = find("Back.qz");
  const int fish[][3] = {{1, -40, 120}, {1, 300, 260}, {1, 620, 420}, {1, 150, 690}, {1, 840, 600},
                         {2, 480, 80},  {4, 700, 200}, {6, 240, 520}, {8, 906, 360}};
  for (const auto& [n, x, y] : fish)
    gfx::DrawKeyed(screen, find("Vusk" + std::to_string(n) + ".qz"), x, y);
  gfx::DrawKeyed(screen, find("Kreuz.qz"), 348 - 16, 276 - 16);
  gfx::DrawScoreLine(screen, 120, 3);
  if (!gfx::WritePng(screen, (dir / "screen.png").string().c_str()))
    return Fail("cannot write screen.png");
  gfx::Image overlays = find("Back.qz");
  for (const auto& [x, y] : {std::pair{0, 0}, {0, 588}, {760, 588}, {760, 0}})
    gfx::DrawKeyed(overlays, find("Gay1.qz"), x, y);
  for (const auto& [x, y] : {std::pair{428, 0}, {832, 305}, {428, 610}, {0, 305}})
    gfx::DrawKeyed(overlays, find("Gay3.qz"), x, y);
  gfx::DrawKeyed(overlays, find("Gay2.qz"), 310, 182);
  gfx::DrawScoreLine(overlays, 2200, 0);
  if (!gfx::WritePng(overlays, (dir / "overlays.png").string().c_str()))
    return Fail("cannot write overlays.png");
  return gfx::WriteMoviePreviews(dir);
}

}  // namespace

// In a sanitizer build: fontconfig (under cairo's text) and GLib (under GStreamer) keep
// blocks until the process ends, which LeakSanitizer would report as leaks at its exit.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libglib-2.0.so\n";
}

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--list") {
    for (const std::string& name : gfx::PictureNames()) std::printf("%s\n", name.c_str());
    for (const char* name : gfx::kSoundNames) std::printf("%s\n", name);
    for (const std::string& name : gfx::MovieNames()) std::printf("%s\n", name.c_str());
    return 0;
  }
  const auto start = std::chrono::steady_clock::now();
  bool ok = false;
  if (args.size() == 2 && args[0] == "--preview") {
    ok = WritePreviews(args[1]);
  } else if (args.size() == 2 && args[0] == "--icons") {
    ok = gfx::WriteIcons(args[1]);
  } else if (args.size() == 1 && !args[0].starts_with("-")) {
    ok = WriteSet(args[0]);
  } else {
    std::fprintf(
        stderr,
        "usage: make-gfx DIR | make-gfx --preview DIR | make-gfx --icons DIR | make-gfx --list\n");
    return 2;
  }
  if (!ok) return 1;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("make-gfx: wrote %s in %.1f s\n", args.back().c_str(), seconds);
  return 0;
}
