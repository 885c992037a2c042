#include "platform/headless/headless_display.h"

#include <cstring>

namespace grumbol::platform {

namespace {

// The layouts a real 32/24/16/15-bit screen here would have.
PixelLayout LayoutForDepth(int depth) {
  switch (depth) {
    case 32: return PixelLayout::kX8R8G8B8;
    case 24: return PixelLayout::kRgb24RedHigh;
    case 16: return PixelLayout::kRgb565;
    case 15: return PixelLayout::kRgb555;
    default: return PixelLayout::kNone;
  }
}

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

std::optional<PixelLayout> HeadlessDisplay::OpenScreen(int width, int height, int depth,
                                                       const std::string& title) {
  const PixelLayout layout = LayoutForDepth(depth);
  if (!has_window_ || !options_.can_open_screen || layout == PixelLayout::kNone)
    return std::nullopt;
  last_frame_ = Surface(width, height, BytesPerPixel(depth));
  if (!last_frame_.Valid()) return std::nullopt;
  open_ = true;
  title_ = title;
  return layout;
}

void HeadlessDisplay::CloseScreen() { open_ = false; }

void HeadlessDisplay::Present(const std::uint8_t* pixels, int pitch) {
  if (!open_) return;
  for (int y = 0; y < last_frame_.height(); ++y) {
    std::memcpy(last_frame_.Row(y), pixels + static_cast<std::size_t>(pitch) * y,
                static_cast<std::size_t>(last_frame_.pitch()));
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

}  // namespace grumbol::platform
