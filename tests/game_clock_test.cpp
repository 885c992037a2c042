// The game's beat through the screen, against virtual displays of every kind: ten simulated
// minutes each, with long steps mixed in.

#include "video/game_clock.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/headless_screen.h"

namespace grumbol {
namespace {

using platform::WindowEvent;

constexpr int kTenMinutes = 36'000;

// A whole game's worth of steps: the game's own work takes 1 to 3 ms, and one step in fifty
// takes 17 to 40 ms (a movie starting, a busy machine).
class Steps {
 public:
  explicit Steps(std::uint64_t refresh_us)
      : Steps(platform::HeadlessDisplay::Options{.refresh_period_us = refresh_us}) {}
  explicit Steps(platform::HeadlessDisplay::Options options) : rig_(options) {
    rig_.screen.StartVideo();
    rig_.screen.EnterScreenMode(64, 48, 32,
                                "beat");  // small: the frames' pixels do not matter here
  }

  testing::HeadlessScreen& rig() { return rig_; }

  // Runs `count` steps and notes when each ended and whether it was shown.
  void Run(int count, bool long_steps = true, int least_work_us = 1'000, int most_work_us = 3'000) {
    std::uniform_int_distribution<int> work(least_work_us, most_work_us), slow(17'000, 40'000),
        chance(0, 49);
    for (int i = 0; i < count; ++i) {
      rig_.clock.Advance(static_cast<std::uint64_t>(
          long_steps && chance(random_) == 0 ? slow(random_) : work(random_)));
      const int presented = rig_.display.frames_presented();
      rig_.screen.ShowFrame();
      ends_.push_back(rig_.clock.Microseconds());
      shown_.push_back(rig_.display.frames_presented() > presented);
    }
  }

  // Steps per second from the end of step `from` to the end of the last.
  double Rate(std::size_t from = 0) const {
    return static_cast<double>(ends_.size() - 1 - from) * 1e6 /
           static_cast<double>(ends_.back() - ends_[from]);
  }
  const std::vector<std::uint64_t>& ends() const { return ends_; }
  const std::vector<bool>& shown() const { return shown_; }

 private:
  testing::HeadlessScreen rig_;
  std::mt19937 random_{7};
  std::vector<std::uint64_t> ends_;
  std::vector<bool> shown_;
};

struct DisplayCase {
  const char* name;
  std::uint64_t refresh_us;  // 0: presents do not wait for the display
  bool sets_the_beat;        // within half a percent of 60 Hz, and waited for
};

class Beat : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(Beat, SixtyStepsASecondOrTheRefreshOfADisplayThatSetsIt) {
  const DisplayCase& c = GetParam();
  Steps steps(c.refresh_us);
  steps.Run(kTenMinutes);
  const double wanted = c.sets_the_beat ? 1e6 / static_cast<double>(c.refresh_us) : 60.0;
  EXPECT_NEAR(steps.Rate(), wanted, wanted * 0.0005);
  const GameClock::Stats& stats = steps.rig().screen.step_stats();
  EXPECT_EQ(stats.restarts, 0u) << "long steps are caught up, not restarted";
  EXPECT_NEAR(static_cast<double>(stats.steps) * 1e6 / static_cast<double>(stats.elapsed_us),
              steps.Rate(), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Displays, Beat,
                         ::testing::Values(DisplayCase{"no_vsync", 0, false},
                                           DisplayCase{"vsync_50", 20'000, false},
                                           DisplayCase{"vsync_59_94", 16'683, true},
                                           DisplayCase{"vsync_60", 16'667, true},
                                           DisplayCase{"vsync_62", 16'129, false},
                                           DisplayCase{"vsync_75", 13'333, false},
                                           DisplayCase{"vsync_120", 8'333, false},
                                           DisplayCase{"vsync_144", 6'944, false},
                                           DisplayCase{"vsync_240", 4'167, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Beat, ADisplayThatSetsTheBeatShowsEveryStepForExactlyOneRefresh) {
  for (const std::uint64_t refresh_us : {16'683u, 16'667u, 16'600u}) {
    Steps steps(refresh_us);
    steps.Run(kTenMinutes, false);
    int missed = 0;
    for (std::size_t i = 1; i < steps.ends().size(); ++i) {
      const std::uint64_t refreshes =
          steps.ends()[i] / refresh_us - steps.ends()[i - 1] / refresh_us;
      missed += !steps.shown()[i] || refreshes != 1;
    }
    EXPECT_EQ(missed, 0) << refresh_us;
  }
}

TEST(Beat, ADisplayThatDoesNotWaitForTheRefreshItTellsCannotSpeedTheGameUpMuch) {
  // Steps that end just short of their time look like presents that waited for the refresh.
  Steps steps({.claimed_refresh_hz = 60.0});
  steps.Run(kTenMinutes, false, 15'700, 16'600);
  EXPECT_LE(steps.Rate(), 60.0 * (1 + GameClock::kFollowedRefreshTolerance) + 0.001);
}

TEST(Beat, ALongStallStartsTheBeatAfreshWithoutABurstOfSteps) {
  for (const std::uint64_t refresh_us : {0u, 16'667u, 8'333u}) {
    Steps steps(refresh_us);
    steps.Run(600, false);
    steps.rig().clock.Advance(2'000'000);
    const std::size_t stalled = steps.ends().size();
    steps.Run(600, false);
    EXPECT_EQ(steps.rig().screen.step_stats().restarts, 1u) << refresh_us;
    for (std::size_t i = stalled + 1; i < steps.ends().size(); ++i) {
      ASSERT_GT(steps.ends()[i] - steps.ends()[i - 1], 15'000u)
          << refresh_us << " step " << i - stalled;
    }
    EXPECT_NEAR(steps.Rate(stalled), 60.0, 0.01) << refresh_us;
  }
}

TEST(Beat, KeptWhileNothingIsShown) {
  Steps background(16'667);
  background.rig().display.InjectEvent(WindowEvent::kFocusLost);
  background.Run(kTenMinutes);
  EXPECT_NEAR(background.Rate(), 60.0, 0.03);
  EXPECT_EQ(background.rig().display.frames_presented(), 0);

  testing::HeadlessScreen no_screen({.can_open_screen = false});
  no_screen.Open();
  ASSERT_EQ(no_screen.screen.target(), nullptr);
  for (int i = 0; i < 600; ++i) no_screen.screen.ShowFrame();
  EXPECT_EQ(no_screen.clock.Microseconds(), 10'000'000u - 16'667u);
}

}  // namespace
}  // namespace grumbol
