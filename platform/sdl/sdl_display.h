#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/sdl/sdl_handles.h"

namespace grumbol::platform {

// The display on SDL2: one window, shown full screen while a screen is open, with a
// renderer that uploads each frame into a streaming texture and presents it with vsync.
//
// Window events are collected by an SDL event watch as SDL queues them, not taken out of
// SDL's queue: key-ups of Tab and Alt must reach both this display and whoever reads the
// keyboard, and an event watch sees them without consuming them.
class SdlDisplay final : public Display {
 public:
  // How OpenScreen got the window to cover the screen.
  enum class FullScreenPath {
    kNone,         // no screen open
    kModeSwitch,   // the display switched to the mode closest to the requested size
    kDesktopSize,  // the display kept its mode; the picture is scaled and letterboxed
  };

  // Input events stay in SDL's queue for the input readers; when nobody reads them, the
  // oldest beyond this many are dropped at each poll so the queue stays bounded.
  static constexpr int kMaxQueuedInputEvents = 4096;

  SdlDisplay() = default;
  ~SdlDisplay() override;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  bool StartVideoSystem() override;
  void StopVideoSystem() override;
  bool CreateWindow() override;
  bool HasWindow() const override { return window_ != nullptr; }
  int OpenScreen(int width, int height, int depth, const std::string& title) override;
  void CloseScreen() override;
  void RestoreScreen() override;
  void Present(const std::uint8_t* pixels, int pitch) override;
  bool PollWindowEvent(WindowEvent& event) override;
  void ShowCursor(bool visible) override;

  // The window's SDL identifier (0 until it exists), for the input devices that belong to it.
  std::uint32_t window_id() const { return window_id_; }

  // For diagnostics and tests.
  FullScreenPath full_screen_path() const { return path_; }

 private:
  static int WatchEvent(void* self, SDL_Event* event);
  void Record(WindowEvent event);
  void DropExcessInputEvents();

  // Declaration order is release order reversed: texture, renderer, window, then the
  // video references that keep SDL up beneath them.
  std::vector<sdl::VideoSubsystemRef> started_;         // one per StartVideoSystem not yet stopped
  std::optional<sdl::VideoSubsystemRef> window_video_;  // keeps SDL up while the window exists
  std::mutex events_mutex_;  // SDL calls the watch on whichever thread pushes an event
  std::deque<WindowEvent> events_;
  std::optional<sdl::EventWatch> watch_;  // feeds events_ while the window exists
  sdl::WindowPtr window_;
  std::uint32_t window_id_ = 0;
  sdl::RendererPtr renderer_;
  sdl::TexturePtr texture_;  // exists exactly while a screen is open
  FullScreenPath path_ = FullScreenPath::kNone;
};

}  // namespace grumbol::platform
