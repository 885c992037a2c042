#pragma once

#include "platform/clock.h"

namespace grumbol::platform {

// The page's monotonic clock (performance.now) and sleeps that hand the thread back to the
// browser until a timer fires, so the page stays alive while the game waits.
class WebClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint64_t Microseconds() override;
  void SleepMicroseconds(std::uint64_t microseconds) override;
};

}  // namespace grumbol::platform
