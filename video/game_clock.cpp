#include "video/game_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace grumbol {

namespace {

// A display that sets the beat pulls it toward its refreshes only when a present returns
// this close to the step's time (further off is a late step or a display that did not wait),
// and by at most half a percent of a step each time: enough to follow a refresh within half a
// percent of 60 Hz, never enough to make the game run faster than that.
constexpr std::int64_t kLockWindowUs = 1'000;
constexpr std::int64_t kMaxPullUs = 83;

bool SetsTheBeat(double refresh_hz) {
  return std::abs(refresh_hz / GameClock::kStepsPerSecond - 1.0) <=
         GameClock::kFollowedRefreshTolerance;
}

}  // namespace

std::string GameClock::Stats::Summary() const {
  const double seconds = static_cast<double>(elapsed_us) / 1e6;
  const double rate = elapsed_us > 0 ? static_cast<double>(steps) / seconds : 0.0;
  char line[160];
  std::snprintf(line, sizeof line,
                "%llu steps in %.2f s = %.2f steps/s, %llu shown, %llu caught up, %llu restarts",
                static_cast<unsigned long long>(steps), seconds, rate,
                static_cast<unsigned long long>(shown), static_cast<unsigned long long>(caught_up),
                static_cast<unsigned long long>(restarts));
  return line;
}

std::int64_t GameClock::Due(std::uint64_t step) const {
  return origin_ + static_cast<std::int64_t>(step * 1'000'000 / kStepsPerSecond);
}

void GameClock::Start(std::int64_t now) {
  running_ = true;
  origin_ = now;
  step_ = 0;
  last_end_ = now;
  began_late_ = false;
}

bool GameClock::ShouldShow() const { return !began_late_ || !last_shown_; }

void GameClock::EndStep(bool shown, double vsync_refresh_hz) {
  const auto now = static_cast<std::int64_t>(clock_.Microseconds());
  if (shown) ++stats_.shown;
  last_shown_ = shown;
  if (!running_) {
    Start(now);
    return;
  }
  ++step_;
  std::int64_t due = Due(step_);
  if (shown && SetsTheBeat(vsync_refresh_hz)) {
    const std::int64_t offset = now - due;
    if (std::abs(offset) <= kLockWindowUs) {
      origin_ += std::clamp(offset, -kMaxPullUs, kMaxPullUs);
      due = Due(step_);
    }
  }

  began_late_ = false;
  if (now < due) {
    clock_.SleepMicroseconds(static_cast<std::uint64_t>(due - now));
  } else if (now - due > static_cast<std::int64_t>(kMaxLagUs)) {
    ++stats_.restarts;
    Start(now);
    return;
  } else {
    if (now - due > static_cast<std::int64_t>(kLateUs)) ++stats_.caught_up;
    began_late_ = now - due >= static_cast<std::int64_t>(kStepUs);
  }
  const auto end = static_cast<std::int64_t>(clock_.Microseconds());
  ++stats_.steps;
  stats_.elapsed_us += static_cast<std::uint64_t>(end - last_end_);
  last_end_ = end;
}

}  // namespace grumbol
