#include "platform/web/web_clock.h"

#include <emscripten.h>

namespace grumbol::platform {

std::uint32_t WebClock::TickCount() {
  // Milliseconds since the page opened, wrapping like a 32-bit tick counter.
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(emscripten_get_now()));
}

void WebClock::Sleep(std::uint32_t milliseconds) { emscripten_sleep(milliseconds); }

std::uint64_t WebClock::Microseconds() {
  return static_cast<std::uint64_t>(emscripten_get_now() * 1000.0);
}

void WebClock::SleepMicroseconds(std::uint64_t microseconds) {
  // Timers count whole milliseconds: round up, so the sleep is never shorter than asked.
  emscripten_sleep(static_cast<unsigned>((microseconds + 999) / 1000));
}

}  // namespace grumbol::platform
