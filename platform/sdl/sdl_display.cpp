#include "platform/sdl/sdl_display.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

#include "platform/log.h"
#include "platform/pixel_layout.h"
#include "platform/sdl/sdl_icon.h"

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

std::string VideoSubsystemRef::Unusable() const {
  if (!held_) return std::string("video: SDL cannot start: ") + SDL_GetError();
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
      std::strcmp(driver, "dummy") == 0) {
    return std::string("video: SDL found no display, only its '") + (driver ? driver : "?") +
           "' driver";
  }
  return "";
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

// The name OpenGL gives its renderer when that is Mesa drawing on the processor; empty for
// a GPU, or a renderer that is not OpenGL.
std::string SoftwareOpenGl(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0)
    return "";
  using GetString = const unsigned char* (*)(unsigned int);
  const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  constexpr unsigned int kGlRenderer = 0x1F01;
  const unsigned char* name = get_string != nullptr ? get_string(kGlRenderer) : nullptr;
  if (name == nullptr) return "";
  const std::string text(reinterpret_cast<const char*>(name));
  for (const char* software : {"llvmpipe", "softpipe", "Software Rasterizer", "SWR"}) {
    if (text.find(software) != std::string::npos) return text;
  }
  return "";
}

// The X server's connection where the window is on X11; null elsewhere. Only there has
// SDL 2 a window of memory shared with the display for its software renderer.
::Display* X11Display(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  return SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11
             ? info.info.x11.display
             : nullptr;
}

// Whether the X server renders directly (DRI2 or DRI3); without it (Xvfb, some remote
// desktops) OpenGL can only draw on the processor, which is known without loading it.
bool RendersDirectly(::Display* x) {
  int opcode = 0, event = 0, error = 0;
  return XQueryExtension(x, "DRI3", &opcode, &event, &error) ||
         XQueryExtension(x, "DRI2", &opcode, &event, &error);
}

// OpenGL on a GPU, with the vertical blank; where OpenGL draws on the processor itself on X11
// (no GPU driver, a virtual machine, a virtual X server), SDL's software renderer onto the
// window's own memory, shared with the X server, which presents the same picture for a
// fraction of the processor time. The player's SDL_RENDER_DRIVER, where set, stands.
sdl::RendererPtr MakeRenderer(SDL_Window* window) {
  const auto accelerated = [window] {
    return sdl::RendererPtr(
        SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC));
  };
  ::Display* x = SDL_getenv("SDL_RENDER_DRIVER") == nullptr ? X11Display(window) : nullptr;
  std::string software_gl =
      x != nullptr && !RendersDirectly(x) ? "an X server without direct rendering" : "";
  sdl::RendererPtr renderer = software_gl.empty() ? accelerated() : sdl::RendererPtr();
  if (renderer && x != nullptr) software_gl = SoftwareOpenGl(renderer.get());
  if (!software_gl.empty()) {
    renderer.reset();
    // The window's memory, not a texture of another OpenGL renderer behind it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    renderer.reset(SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE));
    LogDetail("video: OpenGL draws on the processor here (" + software_gl + "): " +
              (renderer ? "presenting with SDL's software renderer instead"
                        : std::string("SDL's software renderer cannot (") + SDL_GetError() +
                              "), so OpenGL all the same"));
    if (!renderer) {
      SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, nullptr);
      renderer = accelerated();
    }
  }
  if (!renderer) {
    LogDetail(std::string("video: no accelerated renderer (") + SDL_GetError() +
              "); drawing in software");
    renderer.reset(SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE));
  }
  if (!renderer) LogDetail(std::string("video: no renderer: ") + SDL_GetError());
  return renderer;
}

// Window events waiting beyond this many are old news; the oldest go.
constexpr std::size_t kMaxPendingWindowEvents = 256;

}  // namespace

SdlDisplay::~SdlDisplay() { CloseScreen(); }

bool SdlDisplay::Usable(const sdl::VideoSubsystemRef& video) {
  const std::string why = video.Unusable();
  // Sound, movies and input ask for the window too: said once.
  if (!why.empty() && !said_unusable_) LogDetail(why);
  said_unusable_ = said_unusable_ || !why.empty();
  return why.empty();
}

bool SdlDisplay::StartVideoSystem() {
  sdl::VideoSubsystemRef video;
  if (!Usable(video)) return false;
  started_.push_back(std::move(video));
  return true;
}

std::string SdlDisplay::VideoDriver() const {
  const sdl::VideoSubsystemRef video;
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr ? driver : "";
}

void SdlDisplay::StopVideoSystem() {
  if (!started_.empty()) started_.pop_back();
}

bool SdlDisplay::CreateWindow() {
  if (window_) return true;
  // The window may be wanted before the video system is started (sound asks for it too),
  // so it holds its own reference on SDL's video.
  sdl::VideoSubsystemRef video;
  if (!Usable(video)) return false;
  // A window in the background stays where it is: the game runs on behind the other one.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // The mouse moves the cross-hair one picture pixel per unit however the picture is scaled.
  SDL_SetHint(SDL_HINT_MOUSE_RELATIVE_SCALING, "0");
  sdl::WindowPtr window(SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE));
  if (!window) {
    LogDetail(std::string("video: no window: ") + SDL_GetError());
    return false;
  }
  LogDetail(std::string("video: SDL video driver '") + SDL_GetCurrentVideoDriver() + "'");
  if (sdl::SurfacePtr icon = sdl::MakeFishIcon()) SDL_SetWindowIcon(window.get(), icon.get());

  window_video_.emplace(std::move(video));
  window_id_ = SDL_GetWindowID(window.get());
  window_ = std::move(window);
  watch_.emplace(&SdlDisplay::WatchEvent, this);
  return true;
}

std::optional<PixelLayout> SdlDisplay::OpenScreen(int width, int height, int depth,
                                                  const std::string& title) {
  CloseScreen();
  const std::optional<TextureFormat> format = FormatForDepth(depth);
  if (!window_) return std::nullopt;
  if (!format || width <= 0 || height <= 0) {
    LogDetail("video: no frames of " + std::to_string(width) + "x" + std::to_string(height) +
              " at " + std::to_string(depth) + " bits");
    return std::nullopt;
  }

  // The renderer outlives screens: making one may recreate the window for OpenGL.
  if (!renderer_) renderer_ = MakeRenderer(window_.get());
  if (!renderer_) return std::nullopt;
  texture_.reset(SDL_CreateTexture(renderer_.get(), format->sdl_format, SDL_TEXTUREACCESS_STREAMING,
                                   width, height));
  if (!texture_) {
    LogDetail(std::string("video: no frame texture: ") + SDL_GetError());
    return std::nullopt;
  }
  // The frame is scaled whole into the window with black bars, whatever the window's size.
  SDL_RenderSetLogicalSize(renderer_.get(), width, height);
  SDL_SetWindowTitle(window_.get(), title.c_str());

  window_width_ = options_.window_width > 0 ? options_.window_width : width;
  window_height_ = options_.window_height > 0 ? options_.window_height : height;
  ApplyFullScreen();  // on a hidden window SDL applies it as the window is shown
  SDL_ShowWindow(window_.get());
  SDL_RaiseWindow(window_.get());
  SDL_SetWindowInputFocus(window_.get());

  FitToOutput();
  SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
  SDL_RenderClear(renderer_.get());
  SDL_RenderPresent(renderer_.get());
  return format->layout;
}

void SdlDisplay::ApplyFullScreen() {
  const int display_index = std::max(0, SDL_GetWindowDisplayIndex(window_.get()));
  if (full_screen_) {
    // The window's own size covers the desktop too: with no window manager nobody acts on the
    // full-screen request.
    SDL_Rect desktop{0, 0, window_width_, window_height_};
    SDL_GetDisplayBounds(display_index, &desktop);
    SDL_SetWindowPosition(window_.get(), desktop.x, desktop.y);
    SDL_SetWindowSize(window_.get(), desktop.w, desktop.h);
    const bool refused = SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    LogDetail(refused ? std::string("video: full screen refused: ") + SDL_GetError()
                      : "video: full screen");
  } else {
    LogDetail("video: in a window");
    SDL_SetWindowFullscreen(window_.get(), 0);
    SDL_SetWindowSize(window_.get(), window_width_, window_height_);
    SDL_SetWindowPosition(window_.get(), SDL_WINDOWPOS_CENTERED_DISPLAY(display_index),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display_index));
  }
}

void SdlDisplay::CloseScreen() {
  if (!texture_) return;
  SDL_SetWindowFullscreen(window_.get(), 0);
  SDL_HideWindow(window_.get());
  texture_.reset();
}

void SdlDisplay::RestoreScreen() {
  if (!texture_) return;
  // Nothing of the picture is lost in the background; a window that was minimised meanwhile
  // comes back as it was, and one that got the focus while covered comes to the top.
  if ((SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MINIMIZED) != 0)
    SDL_RestoreWindow(window_.get());
  SDL_RaiseWindow(window_.get());
}

void SdlDisplay::FitToOutput() {
  if (!texture_) return;
  // A scaled picture is smoothed; one shown 1:1 is copied as it is, which costs a software
  // renderer far less.
  int output_width = 0, output_height = 0, width = 0, height = 0;
  SDL_GetRendererOutputSize(renderer_.get(), &output_width, &output_height);
  SDL_QueryTexture(texture_.get(), nullptr, nullptr, &width, &height);
  const bool one_to_one = std::min(output_width * height, output_height * width) == width * height;
  SDL_SetTextureScaleMode(texture_.get(), one_to_one ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);

  SDL_RendererInfo info{};
  SDL_DisplayMode mode{};
  const int display_index = SDL_GetWindowDisplayIndex(window_.get());
  const bool has_info = SDL_GetRendererInfo(renderer_.get(), &info) == 0;
  // SDL's software renderer says it waits for the vertical blank, and does not.
  const bool waits = has_info && (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0 &&
                     (info.flags & SDL_RENDERER_SOFTWARE) == 0;
  // 0 where the system does not tell the refresh.
  vsync_refresh_hz_ =
      waits && display_index >= 0 && SDL_GetCurrentDisplayMode(display_index, &mode) == 0
          ? mode.refresh_rate
          : 0.0;
  LogDetail(
      std::string("video: SDL renderer '") + (has_info ? info.name : "?") + "', " +
      std::to_string(width) + "x" + std::to_string(height) + " shown in " +
      std::to_string(output_width) + "x" + std::to_string(output_height) +
      (one_to_one ? " 1:1" : " scaled") + ", vsync refresh " +
      (vsync_refresh_hz_ > 0 ? std::to_string(mode.refresh_rate) + " Hz" : "none or unknown"));
}

void SdlDisplay::Present(const std::uint8_t* pixels, int pitch) {
  if (!texture_ || pixels == nullptr) return;
  if (screenshot_next_ && options_.screenshot) {
    screenshot_next_ = false;
    // A copy for the saver, which writes it while the game goes on.
    // (Only of the 32-bit screen the game opens: other depths have other pixels.)
    std::uint32_t format = 0;
    int width = 0, height = 0;
    SDL_QueryTexture(texture_.get(), &format, nullptr, &width, &height);
    if (format != SDL_PIXELFORMAT_RGB888) width = height = 0;
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> frame(row * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
      std::memcpy(frame.data() + row * y, pixels + static_cast<std::ptrdiff_t>(pitch) * y, row);
    if (height > 0) options_.screenshot(std::move(frame), width, height);
  }
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
  bool toggle = false;
  bool output_changed = false;
  {
    const std::lock_guard lock(events_mutex_);
    std::swap(toggle, toggle_requested_);
    std::swap(output_changed, output_changed_);
    screenshot_next_ = std::exchange(screenshot_requested_, false) || screenshot_next_;
  }
  if (toggle) {
    // A window goes back to the size the player left it at.
    if (texture_ && !full_screen_)
      SDL_GetWindowSize(window_.get(), &window_width_, &window_height_);
    full_screen_ = !full_screen_;
    if (texture_) ApplyFullScreen();
    if (options_.window_changed)
      options_.window_changed(full_screen_, window_width_, window_height_);
  }
  if (output_changed) {
    FitToOutput();
    int width = 0, height = 0;
    if (texture_ && !full_screen_) SDL_GetWindowSize(window_.get(), &width, &height);
    if (width > 0 && (width != window_width_ || height != window_height_)) {
      window_width_ = width;
      window_height_ = height;
      if (options_.window_changed) options_.window_changed(std::nullopt, width, height);
    }
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
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_DISPLAY_CHANGED: {
          const std::lock_guard lock(display.events_mutex_);
          display.output_changed_ = true;
          break;
        }
        default: break;
      }
      break;
    case SDL_KEYDOWN:
      if (event->key.windowID == display.window_id_ && event->key.repeat == 0 &&
          event->key.keysym.scancode == SDL_SCANCODE_F12) {
        const std::lock_guard lock(display.events_mutex_);
        display.screenshot_requested_ = true;
      }
      if (event->key.windowID == display.window_id_ && event->key.repeat == 0 &&
          (event->key.keysym.mod & KMOD_ALT) != 0 &&
          (event->key.keysym.scancode == SDL_SCANCODE_RETURN ||
           event->key.keysym.scancode == SDL_SCANCODE_KP_ENTER)) {
        const std::lock_guard lock(display.events_mutex_);
        display.toggle_requested_ = true;
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
  if (excess > 0) ++input_overflows_;
  std::array<SDL_Event, 256> dropped;
  while (excess > 0) {
    const int taken = SDL_PeepEvents(dropped.data(), std::min<int>(excess, dropped.size()),
                                     SDL_GETEVENT, SDL_KEYDOWN, SDL_LASTEVENT);
    if (taken <= 0) break;
    excess -= taken;
  }
}

}  // namespace grumbol::platform
