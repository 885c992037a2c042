#pragma once

#include <array>
#include <memory>

#include "input/input_service.h"
#include "platform/input_device.h"
#include "runtime/window.h"

namespace grumbol {

// The pointer the game aims with: the running sum of the mouse's relative movement, one
// pixel per unit, from the top-left corner and kept inside the open screen; plus the
// movement of the last poll and three buttons.
class Mouse final : public WindowObserver {
 public:
  // Events the device keeps between two polls; more make that poll's batch lost.
  static constexpr int kBufferRecords = 24;

  Mouse(InputService& input, Window& window);
  ~Mouse() override;
  Mouse(const Mouse&) = delete;
  Mouse& operator=(const Mouse&) = delete;

  // 1 on success, 0 on failure.
  int StartMouse();
  // 1 when the device was read (also with no events), else 0.
  int PollMouse();
  int PointerX() const { return x_; }
  int PointerY() const { return y_; }
  int PointerDeltaX() const { return delta_x_; }
  int PointerDeltaY() const { return delta_y_; }
  // 1 while button n (1 primary, 2 secondary, 3 middle) is down, else 0.
  int IsButtonDown(int n) const;
  // The last poll's wheel movement in notches, truncated toward zero.
  int PointerWheel();
  // Moves the pointer without clamping; the next successful poll clamps.
  void SetPointerPosition(int x, int y) {
    x_ = x;
    y_ = y;
  }
  // 1: lets go of the device until SuspendMouse is called with anything else.
  void SuspendMouse(int flag);
  void EndMouse();

  // The window lost the focus: the device lets go at once.
  void OnDeactivated() override;
  // The screen closed: no more relative mode.
  void OnScreenReleased() override;

 private:
  void SetUpDevice();

  InputService& input_;
  Window& window_;
  std::unique_ptr<platform::MouseDevice> device_;
  bool started_ = false;
  bool set_up_ = false;
  bool suspended_ = false;
  std::array<platform::MouseRecord, kBufferRecords> records_{};

  int x_ = 0;
  int y_ = 0;
  int delta_x_ = 0;
  int delta_y_ = 0;
  int delta_wheel_ = 0;
  std::array<int, 3> buttons_{};
  int wheel_step_ = 0;
};

}  // namespace grumbol
