#include "video/frame_pacer.h"

namespace grumbol {

void FramePacer::FrameDone() {
  const std::uint64_t now = clock_.Microseconds();
  if (!started_) {
    started_ = true;
    deadline_ = now + kPeriodUs;
    last_done_ = now;
    return;
  }
  if (now - last_done_ + kToleranceUs >= kPeriodUs) {
    // The display (or the work) took a whole period: follow its rhythm.
    deadline_ = now + kPeriodUs;
  } else {
    // Faster than 60 Hz: wait for the deadline. Deadlines advance by exactly one period,
    // so a fast display's vertical blanks average out to 60 frames per second.
    if (now < deadline_) clock_.SleepMicroseconds(deadline_ - now);
    deadline_ = now > deadline_ + kPeriodUs ? now + kPeriodUs : deadline_ + kPeriodUs;
  }
  last_done_ = clock_.Microseconds();
}

}  // namespace grumbol
