#include "platform/png/png_screenshots.h"

#include <png.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <utility>

#include "platform/log.h"

namespace grumbol::platform {
namespace {

// "grumbol-2026-12-08-143005.png" for the local time now.
std::string NameForNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char name[64];
  std::strftime(name, sizeof name, "grumbol-%Y-%m-%d-%H%M%S", &local);
  return name;
}

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// libpng's errors jump back here; nothing is changed between the jump's setting and its
// landing but what libpng owns.
bool WritePng(png_structp png, png_infop info, std::FILE* file,
              const std::vector<std::uint8_t>& bgrx, int width, int height) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);                          // the frame's bytes are blue first
  png_set_filler(png, 0, PNG_FILLER_AFTER);  // and a fourth, unused byte each
  for (int y = 0; y < height; ++y)
    png_write_row(png,
                  bgrx.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

PngScreenshots::PngScreenshots(std::string folder)
    : folder_(std::move(folder)), writer_([this](std::stop_token stop) { Run(stop); }) {}

PngScreenshots::~PngScreenshots() {
  writer_.request_stop();
  wake_.notify_all();
}

void PngScreenshots::Save(std::vector<std::uint8_t> bgrx, int width, int height) {
  {
    const std::lock_guard lock(mutex_);
    if (waiting_.size() >= kMaxWaiting) return;
    waiting_.push_back({std::move(bgrx), width, height, NameForNow()});
  }
  wake_.notify_one();
}

void PngScreenshots::Run(std::stop_token stop) {
  for (;;) {
    Frame frame;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, stop, [this] { return !waiting_.empty(); });
      if (waiting_.empty()) return;  // stopped with nothing left to write
      frame = std::move(waiting_.front());
      waiting_.pop_front();
    }
    Write(frame);
  }
}

void PngScreenshots::Write(const Frame& frame) {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  // Two in the same second get a number.
  std::string path = folder_ + "/" + frame.name + ".png";
  for (int n = 2; std::filesystem::exists(path, error); ++n)
    path = folder_ + "/" + frame.name + "-" + std::to_string(n) + ".png";
  const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "wbx"));
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  const bool written = file && info != nullptr &&
                       WritePng(png, info, file.get(), frame.bgrx, frame.width, frame.height);
  png_destroy_write_struct(&png, &info);
  if (written && file && std::fflush(file.get()) == 0) {
    LogDetail("screenshot: " + path);
  } else {
    LogDetail("screenshot: " + path + " cannot be written");
    if (file) std::filesystem::remove(path, error);  // not a half-written picture
  }
}

}  // namespace grumbol::platform
