#include "platform/web/web_display.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "platform/log.h"
#include "platform/web/web_page.h"

namespace grumbol::platform {

namespace {

// clang-format off
EM_JS(int, HasCanvas, (), { return document.getElementById('canvas') ? 1 : 0; });
// clang-format on

// clang-format off
EM_JS(void, SizeCanvas, (int width, int height, const char* title), {
  const canvas = document.getElementById('canvas');
  canvas.width = width;
  canvas.height = height;
  canvas.hidden = false;
  document.title = UTF8ToString(title);
  window.dispatchEvent(new Event('resize'));  // the page fits the canvas to its window
});
// clang-format on

// clang-format off
EM_JS(void, HideCanvas, (), {
  const canvas = document.getElementById('canvas');
  if (document.pointerLockElement === canvas) document.exitPointerLock();
  canvas.hidden = true;
});
// clang-format on

// clang-format off
EM_JS(void, SetCanvasCursor, (int visible),
      { document.getElementById('canvas').style.cursor = visible ? "" : "none"; });
// clang-format on

// Puts the frame (R, G, B, A bytes) on the canvas and waits for the browser's next frame.
// Returns the refresh rate seen over the last frames in Hz (0 until known).
// clang-format off
EM_ASYNC_JS(double, PutFrame, (const void* rgba, int width, int height), {
  const canvas = document.getElementById('canvas');
  const context = canvas.getContext('2d', {alpha : false});
  const bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
  context.putImageData(new ImageData(bytes, width, height), 0, 0);
  const now = await new Promise(requestAnimationFrame);
  const pace = Module.grumbolPace || (Module.grumbolPace = {last : 0, interval : 0, frames : 0});
  const interval = now - pace.last;
  pace.last = now;
  pace.frames++;
  // Intervals longer than a quarter second are stalls (a hidden page), not the display's rate.
  if (interval > 0 && interval < 250) {
    pace.interval = pace.interval ? pace.interval + (interval - pace.interval) / 32 : interval;
  }
  document.body.dataset.frames = pace.frames;
  return pace.frames > 32 && pace.interval ? 1000 / pace.interval : 0;
});
// clang-format on

}  // namespace

struct WebDisplayEvents {
  static EM_BOOL VisibilityChanged(int, const EmscriptenVisibilityChangeEvent* event, void* self) {
    auto& display = *static_cast<WebDisplay*>(self);
    const bool visible = event->hidden == 0;
    if (visible != display.visible_) {
      display.visible_ = visible;
      display.events_.push_back(visible ? WindowEvent::kFocusGained : WindowEvent::kFocusLost);
    }
    return EM_FALSE;
  }
};

WebDisplay::WebDisplay() {
  emscripten_set_visibilitychange_callback(this, EM_TRUE, &WebDisplayEvents::VisibilityChanged);
  EmscriptenVisibilityChangeEvent state{};
  if (emscripten_get_visibility_status(&state) == EMSCRIPTEN_RESULT_SUCCESS)
    visible_ = state.hidden == 0;
}

WebDisplay::~WebDisplay() { emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, nullptr); }

bool WebDisplay::StartVideoSystem() {
  if (HasCanvas() != 0) return true;
  LogNotice("the page has no <canvas id=\"canvas\"> to show the game on");
  return false;
}

bool WebDisplay::CreateWindow() {
  has_window_ = HasCanvas() != 0;
  return has_window_;
}

std::optional<PixelLayout> WebDisplay::OpenScreen(int width, int height, int depth,
                                                  const std::string& title) {
  // Canvases hold 32-bit pixels only. The screen says red in the third byte, as natively:
  // pictures load blue, green, red whatever the screen, and would show red and blue exchanged
  // on a red-first screen. Present puts red first for the canvas.
  if (depth != 32 || width <= 0 || height <= 0) {
    LogDetail("display: the canvas shows 32-bit frames only, not " + std::to_string(depth));
    return std::nullopt;
  }
  width_ = width;
  height_ = height;
  opaque_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  SizeCanvas(width, height, title.c_str());
  TellPage("playing");
  LogDetail("display: a " + std::to_string(width) + "x" + std::to_string(height) +
            " canvas, drawn with putImageData");
  return PixelLayout::kX8R8G8B8;
}

void WebDisplay::CloseScreen() {
  if (width_ == 0) return;
  HideCanvas();
  TellPage("screen closed");
  width_ = height_ = 0;
  opaque_ = {};
}

void WebDisplay::Present(const std::uint8_t* pixels, int pitch) {
  if (width_ == 0) return;
  // The frame is blue, green, red, unused (0); a canvas reads red, green, blue, alpha.
  std::uint32_t* out = opaque_.data();
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* row = pixels + static_cast<std::ptrdiff_t>(y) * pitch;
    for (int x = 0; x < width_; ++x) {
      std::uint32_t pixel;
      std::memcpy(&pixel, row + static_cast<std::ptrdiff_t>(x) * 4, 4);
      *out++ = (pixel & 0x00FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16 | 0xFF000000u;
    }
  }
  refresh_hz_ = PutFrame(opaque_.data(), width_, height_);
}

bool WebDisplay::PollWindowEvent(WindowEvent& event) {
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}

void WebDisplay::ShowCursor(bool visible) { SetCanvasCursor(visible ? 1 : 0); }

}  // namespace grumbol::platform
