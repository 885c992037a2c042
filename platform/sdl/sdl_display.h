#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/display.h"
#include "platform/sdl/sdl_handles.h"

namespace grumbol::platform {

// The display on SDL2: one window with a renderer that uploads each frame into a streaming
// texture and presents it with vsync. While a screen is open the window covers the whole
// desktop in the desktop's own mode (never a display mode switch) or, when asked, plays in a
// resizable window; either way the frame is scaled to fit with its aspect kept and black bars
// around it, exactly 1:1 where the sizes match. Alt+Enter switches between the two.
//
// Window events are collected by an SDL event watch as SDL queues them, not taken out of
// SDL's queue: key-ups of Tab and Alt must reach both this display and whoever reads the
// keyboard, and an event watch sees them without consuming them.
class SdlDisplay final : public Display {
 public:
  struct Options {
    bool windowed = false;  // a screen opens in a window instead of covering the desktop
    int window_width = 0;   // the window's size; 0: the size of the screen's picture
    int window_height = 0;
    // Told when the player switches between window and full screen (Alt+Enter: the mode
    // switched to) or resizes the window (no mode), with the window's size: what the next start
    // should do again.
    std::function<void(std::optional<bool> full_screen, int window_width, int window_height)>
        window_changed;
    // Handed the next frame presented after F12 is pressed: `height` rows of `width` pixels,
    // the bytes of each blue, green, red and unused.
    std::function<void(std::vector<std::uint8_t> bgrx, int width, int height)> screenshot;
  };

  // Input events stay in SDL's queue for the input readers; when nobody reads them, the
  // oldest beyond this many are dropped at each poll so the queue stays bounded.
  static constexpr int kMaxQueuedInputEvents = 4096;

  SdlDisplay() : SdlDisplay(Options{}) {}
  explicit SdlDisplay(Options options)
      : options_(std::move(options)), full_screen_(!options_.windowed) {}
  ~SdlDisplay() override;
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  bool StartVideoSystem() override;
  void StopVideoSystem() override;
  bool CreateWindow() override;
  bool HasWindow() const override { return window_ != nullptr; }
  std::optional<PixelLayout> OpenScreen(int width, int height, int depth,
                                        const std::string& title) override;
  void CloseScreen() override;
  void RestoreScreen() override;
  void Present(const std::uint8_t* pixels, int pitch) override;
  double VsyncRefreshHz() const override { return vsync_refresh_hz_; }
  bool PollWindowEvent(WindowEvent& event) override;
  void ShowCursor(bool visible) override;

  // The window system SDL shows the window on ("x11", "wayland"), starting SDL's video to
  // learn it; empty when SDL's video cannot start.
  std::string VideoDriver() const;

  // The window's SDL identifier (0 until it exists), for the input devices that belong to it.
  std::uint32_t window_id() const { return window_id_; }

  // Counts the times input events were lost because more came between two frames than the
  // queue keeps; a reader that sees it change takes the key and button state from SDL.
  std::uint64_t input_overflows() const { return input_overflows_; }

 private:
  // Whether SDL's video shows things to a person; says once why not.
  bool Usable(const sdl::VideoSubsystemRef& video);
  static int WatchEvent(void* self, SDL_Event* event);
  void Record(WindowEvent event);
  void DropExcessInputEvents();
  // Covers the desktop, or goes back to a window of the size it had.
  void ApplyFullScreen();
  // Follows the window's size and display: how the frame is scaled, the refresh it waits for.
  void FitToOutput();

  // Declaration order is release order reversed: texture, renderer, window, then the
  // video references that keep SDL up beneath them.
  std::vector<sdl::VideoSubsystemRef> started_;         // one per StartVideoSystem not yet stopped
  std::optional<sdl::VideoSubsystemRef> window_video_;  // keeps SDL up while the window exists
  std::mutex events_mutex_;  // SDL calls the watch on whichever thread pushes an event
  std::deque<WindowEvent> events_;
  bool toggle_requested_ = false;         // Alt+Enter was pressed
  bool screenshot_requested_ = false;     // F12 was pressed
  bool output_changed_ = false;           // the window changed its size or display
  std::optional<sdl::EventWatch> watch_;  // feeds events_ while the window exists
  sdl::WindowPtr window_;
  std::uint32_t window_id_ = 0;
  sdl::RendererPtr renderer_;
  sdl::TexturePtr texture_;  // exists exactly while a screen is open
  double vsync_refresh_hz_ = 0.0;
  Options options_;
  bool full_screen_;
  bool screenshot_next_ = false;  // the next frame presented goes to options_.screenshot
  int window_width_ = 0;          // the window's size when it is not full screen
  int window_height_ = 0;
  std::uint64_t input_overflows_ = 0;
  bool said_unusable_ = false;
};

}  // namespace grumbol::platform
