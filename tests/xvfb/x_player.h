#pragma once

#include <sys/types.h>

#include <string>

#include "tests/support/temp_dir.h"
#include "tests/xvfb/screenshot.h"

namespace grumbol::testing {

// Waits (up to 20 s) for a visible window of exactly this title.
bool WaitForWindow(const std::string& title);
void Pause(int ms);
// Holds a key over several frames: a press and release between two polls reads as up.
void HoldKey(const std::string& key);

// The part of the screen below the score line where two screenshots differ.
struct Box {
  int left = Screenshot::kWidth, top = Screenshot::kHeight, right = -1, bottom = -1;
  bool Empty() const { return right < left; }
};
Box Changed(const Screenshot& a, const Screenshot& b);

// The built game running in a folder of its own with the default assets; killed if it is
// still running when this goes.
class GameProcess {
 public:
  GameProcess(const std::string& game, const std::string& make_gfx);
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // Types the name into the name dialog and confirms it.
  bool EnterName(const std::string& name);
  // Stops and continues the game process (SIGSTOP, SIGCONT); whether the signal went out.
  bool Freeze();
  bool Thaw();
  // The exit status once the game has ended (within 10 s), or -1.
  int WaitForExit();
  std::string Record() const;

 private:
  TempDir dir_;
  pid_t pid_ = -1;
};

}  // namespace grumbol::testing
