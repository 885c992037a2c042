#include "platform/posix/system_clock.h"

#include <cerrno>
#include <ctime>

namespace grumbol::platform {

namespace {

timespec Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now;
}

}  // namespace

std::uint32_t SystemClock::TickCount() {
  const timespec now = Now();
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                  static_cast<std::uint64_t>(now.tv_nsec) / 1'000'000u;
  return static_cast<std::uint32_t>(ms);  // wraps like a 32-bit tick counter
}

void SystemClock::Sleep(std::uint32_t milliseconds) {
  SleepMicroseconds(std::uint64_t{milliseconds} * 1000u);
}

std::uint64_t SystemClock::Microseconds() {
  const timespec now = Now();
  return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000u +
         static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

void SystemClock::SleepMicroseconds(std::uint64_t microseconds) {
  // An absolute deadline: signals that interrupt the sleep cannot shorten it.
  timespec deadline = Now();
  deadline.tv_sec += static_cast<time_t>(microseconds / 1'000'000u);
  deadline.tv_nsec += static_cast<long>(microseconds % 1'000'000u) * 1000L;
  if (deadline.tv_nsec >= 1'000'000'000L) {
    deadline.tv_nsec -= 1'000'000'000L;
    deadline.tv_sec += 1;
  }
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
  }
}

}  // namespace grumbol::platform
