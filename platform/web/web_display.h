#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/display.h"

namespace grumbol::platform {

// The display in a web page: frames go onto the page's <canvas id="canvas">, which the page
// scales to fit its window (black bars, sharp at whole multiples). Presenting waits for the
// browser's next animation frame, so the game's beat follows the display as it does natively.
// The page hidden (another tab, a minimised window) counts as the window losing the focus.
class WebDisplay final : public Display {
 public:
  WebDisplay();
  ~WebDisplay() override;
  WebDisplay(const WebDisplay&) = delete;
  WebDisplay& operator=(const WebDisplay&) = delete;

  bool StartVideoSystem() override;
  void StopVideoSystem() override {}
  bool CreateWindow() override;
  bool HasWindow() const override { return has_window_; }
  std::optional<PixelLayout> OpenScreen(int width, int height, int depth,
                                        const std::string& title) override;
  void CloseScreen() override;
  void RestoreScreen() override {}  // the canvas keeps its pixels and its size
  void Present(const std::uint8_t* pixels, int pitch) override;
  double VsyncRefreshHz() const override { return refresh_hz_; }
  bool PollWindowEvent(WindowEvent& event) override;
  void ShowCursor(bool visible) override;

  // The open screen's size in pixels; 0 x 0 while none is open.
  int width() const { return width_; }
  int height() const { return height_; }
  // Whether the page is shown (not in a background tab or a minimised window).
  bool visible() const { return visible_; }

 private:
  friend struct WebDisplayEvents;  // the browser's callbacks

  bool has_window_ = false;
  bool visible_ = true;
  int width_ = 0;
  int height_ = 0;
  double refresh_hz_ = 0.0;
  std::vector<std::uint32_t> opaque_;  // the frame as a canvas takes it: red first, opaque
  std::deque<WindowEvent> events_;
};

}  // namespace grumbol::platform
