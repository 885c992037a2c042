#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace grumbol::platform {

// One byte per key, indexed by the key's code (its position on the keyboard, see
// game/scan_codes.h); bit 0x80 is set while the key is down.
using KeyStates = std::array<std::uint8_t, 256>;
inline constexpr std::uint8_t kKeyDownBit = 0x80;

// The keyboard, read whole whenever asked. It belongs to the program's window: the system
// takes it away while the window is in the background.
class KeyboardDevice {
 public:
  virtual ~KeyboardDevice() = default;
  // Takes the keyboard for the window; does nothing while the window is in the background.
  virtual void Acquire() = 0;
  virtual void Unacquire() = 0;
  // Every key's state now. False when the keyboard is not taken or the window is in the
  // background; `keys` is then left alone.
  virtual bool ReadState(KeyStates& keys) = 0;
};

// What a buffered mouse record is about.
enum class MouseObject : std::uint8_t {
  kX,        // data: movement in pixels, right is positive
  kY,        // data: movement in pixels, down is positive
  kWheel,    // data: wheel movement in the device's units, away from the user is positive
  kButton1,  // primary; data: kKeyDownBit set when pressed
  kButton2,  // secondary
  kButton3,  // middle
  kButton4,
};

struct MouseRecord {
  MouseObject object;
  std::int32_t data;
};

enum class MouseReadResult {
  kOk,
  kOverflow,     // more events came than the buffer holds: the batch is incomplete
  kNotAcquired,  // not taken, or taken away because the window went to the background
  kFailed,
};

// The records a mouse gathered since it was last read, in a buffer of fixed size. Events
// beyond its size are lost and the next read reports the overflow.
class MouseRecordBuffer {
 public:
  // Empties the buffer and gives it room for `capacity` records.
  void Reset(int capacity) {
    records_.assign(static_cast<std::size_t>(std::max(capacity, 0)), MouseRecord{});
    Clear();
  }
  void Clear() {
    size_ = 0;
    overflowed_ = false;
  }
  void Push(MouseRecord record) {
    if (size_ == records_.size()) {
      overflowed_ = true;
      return;
    }
    records_[size_++] = record;
  }
  // Adds movement on one axis to the run of movement records at the end of the buffer, or
  // starts a new record: a fast mouse sends hundreds of small moves a second, and they only
  // ever count as their sum.
  void PushMovement(MouseObject axis, std::int32_t delta) {
    for (std::size_t i = size_; i > 0; --i) {
      MouseRecord& record = records_[i - 1];
      if (record.object != MouseObject::kX && record.object != MouseObject::kY) break;
      if (record.object == axis) {
        record.data += delta;
        return;
      }
    }
    Push({axis, delta});
  }
  // Moves the oldest records into `out`; `count` tells how many.
  MouseReadResult Take(std::span<MouseRecord> out, int& count) {
    const std::size_t n = std::min(out.size(), size_);
    std::copy_n(records_.begin(), n, out.begin());
    std::copy(records_.begin() + static_cast<std::ptrdiff_t>(n),
              records_.begin() + static_cast<std::ptrdiff_t>(size_), records_.begin());
    size_ -= n;
    count = static_cast<int>(n);
    const bool overflowed = overflowed_;
    overflowed_ = false;
    return overflowed ? MouseReadResult::kOverflow : MouseReadResult::kOk;
  }

 private:
  std::vector<MouseRecord> records_;
  std::size_t size_ = 0;
  bool overflowed_ = false;
};

// The mouse as a buffered device, used exclusively by the program's window while that is in
// the foreground (relative movement, no system cursor).
class MouseDevice {
 public:
  virtual ~MouseDevice() = default;
  // Exclusive foreground use with room for `buffer_size` records between reads.
  virtual bool SetUp(int buffer_size) = 0;
  // Starts gathering events; fails while the window is in the background.
  virtual bool Acquire() = 0;
  // Stops gathering and gives the pointer back to the system. Harmless when not taken.
  virtual void Unacquire() = 0;
  // Moves the gathered records, oldest first, into `records`; `count` gets how many.
  virtual MouseReadResult Read(std::span<MouseRecord> records, int& count) = 0;
  // Wheel units per notch, when the device tells.
  virtual std::optional<int> WheelGranularity() = 0;
};

// The system's input service that the keyboard and the mouse share. Start and Stop are
// balanced by the caller, which keeps the count of users.
class InputSystem {
 public:
  virtual ~InputSystem() = default;
  virtual bool Start() = 0;
  virtual void Stop() = 0;
  // Null when the device cannot be had. Only between Start and Stop.
  virtual std::unique_ptr<KeyboardDevice> CreateKeyboard() = 0;
  virtual std::unique_ptr<MouseDevice> CreateMouse() = 0;
};

}  // namespace grumbol::platform
