#include "platform/sdl/sdl_display.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/sdl/sdl_icon.h"
#include "video/pixel_format.h"

namespace grumbol::platform {

namespace sdl {

VideoSubsystemRef::VideoSubsystemRef() {
  // SDL would otherwise turn SIGINT/SIGTERM into a quit event nobody acts on.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  held_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

VideoSubsystemRef::~VideoSubsystemRef() {
  if (held_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool VideoSubsystemRef::HasUsableDisplay() const {
  if (!held_) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "offscreen") != 0 &&
         std::strcmp(driver, "dummy") != 0;
}

}  // namespace sdl

namespace {

struct TextureFormat {
  Uint32 sdl_format;
  PixelLayout layout;
};

// The texture format whose memory layout is the frame layout the media layer writes.
std::optional<TextureFormat> FormatForDepth(int depth) {
  switch (depth) {
    case 32: return TextureFormat{SDL_PIXELFORMAT_RGB888, PixelLayout::kX8R8G8B8};     // B,G,R,x
    case 24: return TextureFormat{SDL_PIXELFORMAT_BGR24, PixelLayout::kRgb24RedHigh};  // B,G,R
    case 16: return TextureFormat{SDL_PIXELFORMAT_RGB565, PixelLayout::kRgb565};
    case 15: return TextureFormat{SDL_PIXELFORMAT_RGB555, PixelLayout::kRgb555};
    default: return std::nullopt;
  }
}

// Window events waiting beyond this many are old news; the oldest go.
constexpr std::size_t kMaxPendingWindowEvents = 256;

}  // namespace

SdlDisplay::~SdlDisplay() {
  // Gives the desktop its mode back before the window goes.
  CloseScreen();
}

bool SdlDisplay::StartVideoSystem() {
  sdl::VideoSubsystemRef video;
  if (!video.HasUsableDisplay()) return false;
  started_.push_back(std::move(video));
  return true;
}

void SdlDisplay::StopVideoSystem() {
  if (!started_.empty()) started_.pop_back();
}

bool SdlDisplay::CreateWindow() {
  if (window_) return true;
  // The window may be wanted before the video system is started (sound asks for it too),
  // so it holds its own reference on SDL's video.
  sdl::VideoSubsystemRef video;
  if (!video.HasUsableDisplay()) return false;
  sdl::WindowPtr window(
      SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS));
  if (!window) return false;
  if (sdl::SurfacePtr icon = sdl::MakeFishIcon()) SDL_SetWindowIcon(window.get(), icon.get());

  window_video_.emplace(std::move(video));
  window_id_ = SDL_GetWindowID(window.get());
  window_ = std::move(window);
  watch_.emplace(&SdlDisplay::WatchEvent, this);
  return true;
}

int SdlDisplay::OpenScreen(int width, int height, int depth, const std::string& title) {
  CloseScreen();
  const std::optional<TextureFormat> format = FormatForDepth(depth);
  if (!window_ || !format || width <= 0 || height <= 0) return 0;

  if (!renderer_) {
    // The renderer outlives screens: making one may recreate the window for OpenGL.
    renderer_.reset(SDL_CreateRenderer(window_.get(), -1,
                                       SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
    if (!renderer_) renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE));
    if (!renderer_) return 0;
  }
  texture_.reset(SDL_CreateTexture(renderer_.get(), format->sdl_format, SDL_TEXTUREACCESS_STREAMING,
                                   width, height));
  if (!texture_) return 0;
  // Whatever mode the display ends up in, the frame is scaled whole with black bars.
  SDL_RenderSetLogicalSize(renderer_.get(), width, height);

  SDL_SetWindowTitle(window_.get(), title.c_str());

  SDL_DisplayMode wanted{};
  wanted.w = width;
  wanted.h = height;
  wanted.refresh_rate = 60;
  SDL_DisplayMode closest{};
  const int display_index = std::max(0, SDL_GetWindowDisplayIndex(window_.get()));
  const bool have_mode = SDL_GetClosestDisplayMode(display_index, &wanted, &closest) != nullptr;
  SDL_Rect desktop{0, 0, width, height};
  SDL_GetDisplayBounds(display_index, &desktop);

  // The window's own size already covers the screen in the mode it is about to get: with
  // no window manager nobody acts on the full-screen request, and the window keeps its size.
  SDL_SetWindowPosition(window_.get(), desktop.x, desktop.y);
  SDL_SetWindowSize(window_.get(), have_mode ? closest.w : desktop.w,
                    have_mode ? closest.h : desktop.h);
  // Shown first: SDL applies full screen to a hidden window only when it is shown, and then
  // a failed mode switch goes unreported.
  SDL_ShowWindow(window_.get());
  if (have_mode && SDL_SetWindowDisplayMode(window_.get(), &closest) == 0 &&
      SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN) == 0) {
    path_ = FullScreenPath::kModeSwitch;
  } else {
    SDL_SetWindowSize(window_.get(), desktop.w, desktop.h);
    if (SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP) == 0) {
      path_ = FullScreenPath::kDesktopSize;
    } else {
      CloseScreen();
      return 0;
    }
  }
  SDL_RaiseWindow(window_.get());
  SDL_SetWindowInputFocus(window_.get());

  SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
  SDL_RenderClear(renderer_.get());
  SDL_RenderPresent(renderer_.get());
  return static_cast<int>(format->layout);
}

void SdlDisplay::CloseScreen() {
  if (!texture_) return;
  SDL_SetWindowFullscreen(window_.get(), 0);
  SDL_HideWindow(window_.get());
  texture_.reset();
  path_ = FullScreenPath::kNone;
}

void SdlDisplay::RestoreScreen() {
  if (!texture_) return;
  SDL_ShowWindow(window_.get());
  SDL_RestoreWindow(window_.get());  // un-minimises, which also sets the full-screen mode again
  SDL_SetWindowFullscreen(window_.get(), path_ == FullScreenPath::kModeSwitch
                                             ? SDL_WINDOW_FULLSCREEN
                                             : SDL_WINDOW_FULLSCREEN_DESKTOP);
  SDL_RaiseWindow(window_.get());
}

void SdlDisplay::Present(const std::uint8_t* pixels, int pitch) {
  if (!texture_ || pixels == nullptr) return;
  SDL_UpdateTexture(texture_.get(), nullptr, pixels, pitch);
  SDL_RenderClear(renderer_.get());
  SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, nullptr);
  SDL_RenderPresent(renderer_.get());
}

bool SdlDisplay::PollWindowEvent(WindowEvent& event) {
  const auto nothing_recorded = [this] {
    const std::lock_guard lock(events_mutex_);
    return events_.empty();
  };
  // Pumps only when what was recorded is handed out: a frame's drain loop pumps at most
  // twice. The pump runs outside the lock, since the watch records under it.
  if (window_ && nothing_recorded()) {
    // The watch sees each event as SDL queues it; the queued copies of the window-range
    // events have no other reader.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_QUIT, SDL_SYSWMEVENT);
    DropExcessInputEvents();
  }
  const std::lock_guard lock(events_mutex_);
  if (events_.empty()) return false;
  event = events_.front();
  events_.pop_front();
  return true;
}

void SdlDisplay::ShowCursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

int SdlDisplay::WatchEvent(void* self, SDL_Event* event) {
  auto& display = *static_cast<SdlDisplay*>(self);
  switch (event->type) {
    case SDL_QUIT: display.Record(WindowEvent::kCloseRequested); break;
    case SDL_WINDOWEVENT:
      if (event->window.windowID != display.window_id_) break;
      switch (event->window.event) {
        case SDL_WINDOWEVENT_CLOSE: display.Record(WindowEvent::kCloseRequested); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: display.Record(WindowEvent::kFocusGained); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: display.Record(WindowEvent::kFocusLost); break;
        default: break;
      }
      break;
    case SDL_KEYUP:
      if (event->key.windowID != display.window_id_) break;
      // By key position, like the Tab and Alt key codes of the window system we stand in for.
      switch (event->key.keysym.scancode) {
        case SDL_SCANCODE_TAB: display.Record(WindowEvent::kTabKeyUp); break;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT: display.Record(WindowEvent::kAltKeyUp); break;
        default: break;
      }
      break;
    default: break;
  }
  return 1;  // ignored for watches
}

void SdlDisplay::Record(WindowEvent event) {
  const std::lock_guard lock(events_mutex_);
  if (events_.size() >= kMaxPendingWindowEvents) events_.pop_front();
  events_.push_back(event);
}

void SdlDisplay::DropExcessInputEvents() {
  // Counting with no buffer leaves the queue as it is.
  const int queued = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_LASTEVENT);
  int excess = queued - kMaxQueuedInputEvents;
  std::array<SDL_Event, 256> dropped;
  while (excess > 0) {
    const int taken = SDL_PeepEvents(dropped.data(), std::min<int>(excess, dropped.size()),
                                     SDL_GETEVENT, SDL_KEYDOWN, SDL_LASTEVENT);
    if (taken <= 0) break;
    excess -= taken;
  }
}

}  // namespace grumbol::platform
