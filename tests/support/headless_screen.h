#pragma once

// The game's screen on the headless display and a manual clock, with real files; and the same
// with a sprite store. Shared by the tests and benchmarks of the screen's users.

#include "platform/headless/headless_display.h"
#include "platform/null/manual_clock.h"
#include "platform/posix/posix_file_system.h"
#include "video/screen.h"
#include "video/sprites.h"

namespace grumbol::testing {

struct HeadlessScreen {
  explicit HeadlessScreen(platform::HeadlessDisplay::Options options = {})
      : display(clock, options) {}
  // Starts video and opens the 1024x768 32-bit screen, as the game does.
  void Open() {
    screen.StartVideo();
    screen.EnterScreenMode(1024, 768, 32, "test");
  }

  platform::ManualClock clock;
  platform::HeadlessDisplay display;
  Screen screen{display, clock};
  platform::PosixFileSystem files;
};

// An open screen with a sprite store.
struct SpriteScreen : HeadlessScreen {
  SpriteScreen() { Open(); }
  Sprites sprites{screen, files};
};

}  // namespace grumbol::testing
