#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace grumbol {

// A block of pixels in one pixel format, rows top first: a sprite's picture or the back
// buffer. Plain memory, so it is never lost when the program loses the focus.
class Surface {
 public:
  // The largest width or height a surface may have; pictures are stored with 16-bit sizes.
  static constexpr int kMaxSide = 32767;
  // The largest pixel block a surface may hold (a 1024x768x4 screen is 3 MiB).
  static constexpr std::size_t kMaxBytes = std::size_t{256} << 20;

  Surface() = default;

  // True when a surface of this size can be made: both sides 1..kMaxSide, 1 to 4 bytes
  // per pixel, at most kMaxBytes in all.
  static bool SizeIsValid(int width, int height, int bytes_per_pixel) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    if (bytes_per_pixel < 1 || bytes_per_pixel > 4) return false;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
               static_cast<std::size_t>(bytes_per_pixel) <=
           kMaxBytes;
  }

  // Zero-filled pixels; an empty surface (Valid() false) when the size is not valid.
  Surface(int width, int height, int bytes_per_pixel) {
    if (!SizeIsValid(width, height, bytes_per_pixel)) return;
    width_ = width;
    height_ = height;
    bytes_per_pixel_ = bytes_per_pixel;
    pitch_ = width * bytes_per_pixel;
    pixels_.assign(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height), 0);
  }

  bool Valid() const { return width_ > 0; }
  int width() const { return width_; }
  int height() const { return height_; }
  int bytes_per_pixel() const { return bytes_per_pixel_; }
  int pitch() const { return pitch_; }  // bytes from one row to the next

  std::uint8_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * pitch_; }
  const std::uint8_t* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * pitch_;
  }
  std::uint8_t* data() { return pixels_.data(); }
  const std::uint8_t* data() const { return pixels_.data(); }
  std::size_t size_bytes() const { return pixels_.size(); }

  // The pixel value at (x, y), little-endian as stored. No bounds check.
  std::uint32_t PixelAt(int x, int y) const {
    std::uint32_t value = 0;
    std::memcpy(&value, Row(y) + static_cast<std::size_t>(x) * bytes_per_pixel_,
                static_cast<std::size_t>(bytes_per_pixel_));
    return value;
  }
  void SetPixel(int x, int y, std::uint32_t value) {
    std::memcpy(Row(y) + static_cast<std::size_t>(x) * bytes_per_pixel_, &value,
                static_cast<std::size_t>(bytes_per_pixel_));
  }

 private:
  int width_ = 0;
  int height_ = 0;
  int bytes_per_pixel_ = 0;
  int pitch_ = 0;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace grumbol
