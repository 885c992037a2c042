#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace grumbol {

// Holds the game at no more than 60 frames per second. The game counts frames, not time, so
// a display that does not wait for its vertical blank, or refreshes at 120/144/240 Hz, would
// otherwise make it run too fast. A frame that already took a whole period (a 60 Hz display
// waited for it, or the frame was slow) is left alone, so a real 60 Hz vertical blank is
// never missed because of a sleep of ours.
class FramePacer {
 public:
  static constexpr std::uint64_t kPeriodUs = 16667;
  // A frame this close to a full period counts as paced by the display (timing jitter).
  static constexpr std::uint64_t kToleranceUs = 1500;

  explicit FramePacer(platform::Clock& clock) : clock_(clock) {}

  // Called once a frame has been presented; returns when the next one may begin.
  void FrameDone();
  // Forgets the rhythm, e.g. after a pause in the background.
  void Reset() { started_ = false; }

 private:
  platform::Clock& clock_;
  bool started_ = false;
  std::uint64_t last_done_ = 0;  // when the previous FrameDone returned
  std::uint64_t deadline_ = 0;   // the earliest time the next frame may be done
};

}  // namespace grumbol
