#pragma once

#include "platform/clock.h"

namespace grumbol::platform {

// The monotonic system clock in milliseconds and a real blocking sleep.
class SystemClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t Microseconds() override;
  void SleepMicroseconds(std::uint64_t microseconds) override;
};

}  // namespace grumbol::platform
