#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace grumbol {

// The game's beat: step k is due at t0 + k/60 s. The game counts steps, not time (a fish
// takes 513 of them to cross the screen), so this beat is the game's speed, whatever the
// display does, and also while nothing is shown (the window in the background, no screen).
//
// A step waits for its time; a present that waited for the vertical blank has already done
// part of that. A step that comes late is caught up by not waiting, and its frame is left
// unshown when it begins a whole step behind, since a present that waits for the display
// would only add to the lag. A stall too long to catch up (a dialog, a stopped process, a
// machine asleep) starts the beat afresh instead of racing through the missed steps. A
// display whose refresh is within half a percent of 60 Hz sets the beat itself, so that
// every step is shown for exactly one refresh there.
class GameClock {
 public:
  static constexpr std::uint64_t kStepsPerSecond = 60;
  static constexpr std::uint64_t kStepUs = 1'000'000 / kStepsPerSecond;
  // Behind by more than this, the beat starts afresh.
  static constexpr std::uint64_t kMaxLagUs = 100'000;
  // A step that begins later than this after its time counts as caught up.
  static constexpr std::uint64_t kLateUs = 1'000;
  // How far the refresh of a display that sets the beat may be from 60 Hz.
  static constexpr double kFollowedRefreshTolerance = 0.005;

  struct Stats {
    std::uint64_t steps = 0;       // steps counted in elapsed_us (not those after a stall)
    std::uint64_t shown = 0;       // steps whose frame was presented
    std::uint64_t caught_up = 0;   // steps that began late and did not wait
    std::uint64_t restarts = 0;    // stalls after which the beat started afresh
    std::uint64_t elapsed_us = 0;  // the time those steps took

    // One line: "5123 steps in 85.38 s = 60.00 steps/s, 5120 shown, 12 caught up, 0 restarts".
    std::string Summary() const;
  };

  explicit GameClock(platform::Clock& clock) : clock_(clock) {}

  // Whether the step ending now should present its frame: not when it began a whole step
  // behind, unless the step before was not shown either.
  bool ShouldShow() const;
  // Ends a step and returns when the next one is due. `shown`: its frame was presented, to a
  // display whose present waits for a refresh of `vsync_refresh_hz` (0: no wait, or unknown).
  void EndStep(bool shown, double vsync_refresh_hz);
  // The next step starts a new beat (a new screen was opened).
  void Reset() { running_ = false; }

  const Stats& stats() const { return stats_; }

 private:
  std::int64_t Due(std::uint64_t step) const;
  void Start(std::int64_t now);

  platform::Clock& clock_;
  bool running_ = false;
  std::int64_t origin_ = 0;    // t0 in microseconds, moved by a display that sets the beat
  std::uint64_t step_ = 0;     // steps since t0
  std::int64_t last_end_ = 0;  // when the previous step ended (after its wait)
  bool began_late_ = false;    // the step under way began a whole step behind
  bool last_shown_ = true;
  Stats stats_;
};

}  // namespace grumbol
