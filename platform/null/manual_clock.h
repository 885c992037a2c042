#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace grumbol::platform {

// A clock that only moves when told to: a sleep advances it by the time asked for instead of
// blocking, so a game on it runs as fast as the machine allows, and the same every time (tests
// set the tick count).
class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::uint32_t start_tick = 0) : tick_(start_tick) {}

  std::uint32_t TickCount() override { return tick_; }
  void Sleep(std::uint32_t milliseconds) override {
    tick_ += milliseconds;
    micros_ += std::uint64_t{milliseconds} * 1000u;
  }
  std::uint64_t Microseconds() override { return micros_; }
  void SleepMicroseconds(std::uint64_t microseconds) override { micros_ += microseconds; }

  void SetTickCount(std::uint32_t tick) { tick_ = tick; }
  // Moves the fine time on, as work that takes time would.
  void Advance(std::uint64_t microseconds) { micros_ += microseconds; }

 private:
  std::uint32_t tick_;
  std::uint64_t micros_ = 0;
};

}  // namespace grumbol::platform
