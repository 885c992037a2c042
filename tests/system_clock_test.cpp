#include "platform/posix/system_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <pthread.h>

namespace grumbol::platform {
namespace {

// A signal arriving mid-sleep must not cut the sleep short; the tick counter moves with real
// time (truncated milliseconds).
TEST(SystemClock, SleepBlocksAtLeastTheRequestedTimeEvenWhenSignalled) {
  struct sigaction action = {}, previous = {};
  action.sa_handler = [](int) {};
  sigaction(SIGUSR1, &action, &previous);
  SystemClock clock;
  std::thread interrupter([sleeper = pthread_self()] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pthread_kill(sleeper, SIGUSR1);
  });
  const auto start = std::chrono::steady_clock::now();
  const std::uint32_t tick_before = clock.TickCount();
  clock.Sleep(120);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
  EXPECT_GE(clock.TickCount() - tick_before, 119u);
  interrupter.join();
  sigaction(SIGUSR1, &previous, nullptr);
}

}  // namespace
}  // namespace grumbol::platform
