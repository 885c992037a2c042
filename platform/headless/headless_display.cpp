#include "platform/headless/headless_display.h"

#include <cstring>

namespace grumbol::platform {

namespace {

// The layouts a real 32/24/16/15-bit screen here would have.
int LayoutForDepth(int depth) {
  switch (depth) {
    case 32: return 7;
    case 24: return 5;
    case 16: return 3;
    case 15: return 2;
    default: return 0;
  }
}

int BytesForDepth(int depth) { return depth == 32 ? 4 : depth == 24 ? 3 : 2; }

}  // namespace

bool HeadlessDisplay::StartVideoSystem() {
  if (!options_.has_display) return false;
  ++video_users_;
  return true;
}

void HeadlessDisplay::StopVideoSystem() {
  if (video_users_ > 0) --video_users_;
}

bool HeadlessDisplay::CreateWindow() {
  if (!options_.has_display) return false;
  has_window_ = true;
  return true;
}

int HeadlessDisplay::OpenScreen(int width, int height, int depth, const std::string& title) {
  const int layout = LayoutForDepth(depth);
  if (!has_window_ || !options_.can_open_screen || layout == 0 || width <= 0 || height <= 0) {
    return 0;
  }
  open_ = true;
  width_ = width;
  height_ = height;
  bytes_per_pixel_ = BytesForDepth(depth);
  title_ = title;
  return layout;
}

void HeadlessDisplay::CloseScreen() { open_ = false; }

void HeadlessDisplay::Present(const std::uint8_t* pixels, int pitch) {
  if (!open_) return;
  const std::size_t row_bytes = static_cast<std::size_t>(width_) * bytes_per_pixel_;
  last_frame_.resize(row_bytes * static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) {
    std::memcpy(last_frame_.data() + row_bytes * y, pixels + static_cast<std::size_t>(pitch) * y,
                row_bytes);
  }
  ++frames_;
  if (options_.refresh_period_us > 0) {
    const std::uint64_t now = clock_.Microseconds();
    const std::uint64_t period = options_.refresh_period_us;
    clock_.Advance((now / period + 1) * period - now);
  }
}

bool HeadlessDisplay::PollWindowEvent(WindowEvent& event) {
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}

std::uint32_t HeadlessDisplay::LastFramePixel(int x, int y) const {
  std::uint32_t value = 0;
  const std::size_t row_bytes = static_cast<std::size_t>(width_) * bytes_per_pixel_;
  std::memcpy(&value, last_frame_.data() + row_bytes * y + static_cast<std::size_t>(x) * bytes_per_pixel_,
              static_cast<std::size_t>(bytes_per_pixel_));
  return value;
}

}  // namespace grumbol::platform
