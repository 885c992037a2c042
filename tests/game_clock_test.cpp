// The game's beat through the screen, against virtual displays of every kind: ten simulated
// minutes each.

#include "video/game_clock.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/headless_screen.h"

namespace grumbol {
namespace {

using Options = platform::HeadlessDisplay::Options;

// Steps of the game on a display: the game's own work takes `least_us` to `most_us`, and with
// `long_steps` one step in fifty takes 17 to 40 ms (a movie starting, a busy machine).
struct Steps : testing::HeadlessScreen {
  explicit Steps(Options options) : HeadlessScreen(options) {
    screen.StartVideo();
    screen.EnterScreenMode(64, 48, 32, "beat");  // small: the pixels do not matter here
  }
  void Run(int count, bool long_steps, int least_us = 1'000, int most_us = 3'000) {
    std::uniform_int_distribution<int> work(least_us, most_us), slow(17'000, 40'000), one_in(0, 49);
    for (int i = 0; i < count; ++i) {
      const bool is_long = long_steps && one_in(random) == 0;
      clock.Advance(static_cast<std::uint64_t>(is_long ? slow(random) : work(random)));
      const int presented = display.frames_presented();
      screen.ShowFrame();
      ends.push_back(clock.Microseconds());
      shown.push_back(display.frames_presented() > presented);
    }
  }
  // Steps per second from the end of step `from` to the end of the last.
  double Rate(std::size_t from = 0) const {
    return static_cast<double>(ends.size() - 1 - from) * 1e6 /
           static_cast<double>(ends.back() - ends[from]);
  }
  std::mt19937 random{7};
  std::vector<std::uint64_t> ends;
  std::vector<bool> shown;
};

TEST(Beat, SixtyStepsASecondOrTheRefreshOfADisplayThatSetsIt) {
  const struct {
    const char* name;
    Options display;
    double rate;
    bool long_steps = true;
    bool every_step_one_refresh = false;
    bool in_background = false;
  } cases[] = {
      {"no vsync", {}, 60.0},
      {"50 Hz: frames dropped", {.refresh_period_us = 20'000}, 60.0},
      {"59.94 Hz followed", {.refresh_period_us = 16'683}, 1e6 / 16'683, false, true},
      {"60 Hz followed", {.refresh_period_us = 16'667}, 1e6 / 16'667, false, true},
      {"60.24 Hz followed", {.refresh_period_us = 16'600}, 1e6 / 16'600, false, true},
      {"59.94 Hz with long steps caught up", {.refresh_period_us = 16'683}, 1e6 / 16'683},
      {"62 Hz not followed", {.refresh_period_us = 16'129}, 60.0},
      {"144 Hz", {.refresh_period_us = 6'944}, 60.0},
      {"in the background", {.refresh_period_us = 16'667}, 60.0, true, false, true},
      {"no screen", {.can_open_screen = false}, 60.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Steps steps(c.display);
    if (c.in_background) steps.display.InjectEvent(platform::WindowEvent::kFocusLost);
    steps.Run(36'000, c.long_steps);
    EXPECT_NEAR(steps.Rate(), c.rate, c.rate * 0.0005);
    const GameClock::Stats& stats = steps.screen.step_stats();
    EXPECT_EQ(stats.restarts, 0u) << "long steps are caught up, not restarted";
    EXPECT_NEAR(static_cast<double>(stats.steps) * 1e6 / static_cast<double>(stats.elapsed_us),
                steps.Rate(), 0.01);
    EXPECT_EQ(steps.display.frames_presented() == 0, c.in_background || !c.display.can_open_screen);
    if (!c.every_step_one_refresh) continue;
    const std::uint64_t refresh = c.display.refresh_period_us;
    int missed = 0;
    for (std::size_t i = 1; i < steps.ends.size(); ++i)
      missed += !steps.shown[i] || steps.ends[i] / refresh - steps.ends[i - 1] / refresh != 1;
    EXPECT_EQ(missed, 0);
  }
}

TEST(Beat, ADisplayThatDoesNotWaitForTheRefreshItTellsCannotSpeedTheGameUpMuch) {
  // Steps that end just short of their time look like presents that waited for the refresh.
  Steps steps({.claimed_refresh_hz = 60.0});
  steps.Run(36'000, false, 15'700, 16'600);
  EXPECT_LE(steps.Rate(), 60.0 * (1 + GameClock::kFollowedRefreshTolerance) + 0.001);
}

TEST(Beat, ALongStallStartsTheBeatAfreshWithoutABurstOfSteps) {
  for (const std::uint64_t refresh_us : {0u, 16'667u, 8'333u}) {
    Steps steps({.refresh_period_us = refresh_us});
    steps.Run(600, false);
    steps.clock.Advance(2'000'000);
    const std::size_t stalled = steps.ends.size();
    steps.Run(600, false);
    EXPECT_EQ(steps.screen.step_stats().restarts, 1u) << refresh_us;
    for (std::size_t i = stalled + 1; i < steps.ends.size(); ++i)
      ASSERT_GT(steps.ends[i] - steps.ends[i - 1], 15'000u) << refresh_us << " step " << i;
    EXPECT_NEAR(steps.Rate(stalled), 60.0, 0.01) << refresh_us;
  }
}

}  // namespace
}  // namespace grumbol
