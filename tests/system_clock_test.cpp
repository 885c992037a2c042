#include "platform/posix/system_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <pthread.h>

namespace grumbol::platform {
namespace {

TEST(SystemClock, SleepBlocksAtLeastTheRequestedTimeEvenWhenSignalled) {
  // A signal arriving mid-sleep must not cut the sleep short.
  struct sigaction action {};
  action.sa_handler = [](int) {};
  struct sigaction previous {};
  sigaction(SIGUSR1, &action, &previous);

  SystemClock clock;
  const pthread_t sleeper = pthread_self();
  std::thread interrupter([sleeper] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    pthread_kill(sleeper, SIGUSR1);
  });
  const auto start = std::chrono::steady_clock::now();
  const std::uint32_t tick_before = clock.TickCount();
  clock.Sleep(120);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  const std::uint32_t ticks = clock.TickCount() - tick_before;
  interrupter.join();
  sigaction(SIGUSR1, &previous, nullptr);

  EXPECT_GE(elapsed, std::chrono::milliseconds(120));
  EXPECT_GE(ticks, 119u);  // the tick counter moves with real time (truncated milliseconds)
}

}  // namespace
}  // namespace grumbol::platform
