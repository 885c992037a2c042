#pragma once

#include <cstdint>

namespace grumbol::platform {

// The system's millisecond tick counter and a blocking sleep. The tick counter wraps
// like a 32-bit millisecond count does; only its value at the first random draw matters.
class Clock {
 public:
  virtual ~Clock() = default;

  // Milliseconds since some fixed point (for the real clock: since the system started).
  virtual std::uint32_t TickCount() = 0;

  // Blocks the calling thread for at least `milliseconds`; nothing else runs meanwhile.
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // A finer monotonic time for frame pacing, and a sleep to match.
  virtual std::uint64_t Microseconds() = 0;
  virtual void SleepMicroseconds(std::uint64_t microseconds) = 0;
};

}  // namespace grumbol::platform
