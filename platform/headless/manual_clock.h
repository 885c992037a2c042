#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace grumbol::platform {

// A clock that only moves when told to: tests set the tick count, and a sleep advances it
// by the time asked for instead of blocking, so runs are deterministic and fast.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(std::uint32_t start_tick = 0) : tick_(start_tick) {}

  std::uint32_t TickCount() override { return tick_; }
  void Sleep(std::uint32_t milliseconds) override {
    tick_ += milliseconds;
    slept_ms_ += milliseconds;
  }

  void SetTickCount(std::uint32_t tick) { tick_ = tick; }
  // Total time asked for by Sleep since construction.
  std::uint64_t SleptMilliseconds() const { return slept_ms_; }

 private:
  std::uint32_t tick_;
  std::uint64_t slept_ms_ = 0;
};

}  // namespace grumbol::platform
