#pragma once

namespace grumbol::platform {

// Keeps ALSA's own error printing quiet while it lives: ALSA prints a screenful on a machine
// without a sound card.
class QuietAlsa {
 public:
  QuietAlsa();
  ~QuietAlsa();
  QuietAlsa(const QuietAlsa&) = delete;
  QuietAlsa& operator=(const QuietAlsa&) = delete;

 private:
  void* library_ = nullptr;  // libasound, from dlopen
};

}  // namespace grumbol::platform
