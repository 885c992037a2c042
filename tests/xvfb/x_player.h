#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/xvfb/screenshot.h"

namespace grumbol::testing {

// Whether a window of exactly this title is shown (and has the keyboard focus): on the X
// server, or in the Wayland compositor's tree when SWAYSOCK is set (XWayland's included).
bool WindowShown(const std::string& title, bool focused = false);
// The windows the compositor and the X server know, by title: what a failed wait saw.
std::string WindowList();
// Whether a window with this app id (Wayland) or class (X11) is shown.
bool AppWindowShown(const std::string& app_id);
// Asks `done` again and again, for `seconds` at most, until it says yes; its last answer.
bool WaitUntil(const std::function<bool()>& done, int seconds = 20);
// Waits (up to 20 s) for a window of this title to be shown.
bool WaitForWindow(const std::string& title);
void Pause(int ms);
// Keys and mouse in xdotool's words ("keydown a sleep 0.2 keyup a", "type Bob",
// "mousemove_relative -- 5 5"): through xdotool on an X server of the test's own, through
// wayland-input (the program WAYLAND_INPUT names) under a Wayland compositor. Its exit status.
int Drive(const std::string& commands);
// Holds a key over several frames: a press and release between two polls reads as up. For
// dialogs, which see every press; the game reads its keys once a step, and its next step may
// be long in coming on a busy machine:
void HoldKey(const std::string& key);
// Presses keys or buttons (Drive's words: "keydown f mousedown 3") and holds them until `done`
// (asked again and again, for 20 s at most) says they have had their effect, then lets go
// (`release`); whether they had.
bool HoldUntil(const std::string& press, const std::string& release,
               const std::function<bool()>& done);

// A rectangle of the screen, edges included.
struct Box {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  bool Empty() const { return right < left; }
  int Width() const { return right - left + 1; }
};
// The part of the screen below the score line where two screenshots differ.
Box Changed(const Screenshot& a, const Screenshot& b);
// The part of the screen (or of `region`) that is not black.
Box Lit(const Screenshot& shot, std::optional<Box> region = std::nullopt);
// The box around the pixels whose colour `pick` takes.
Box OfColour(const Screenshot& shot, const std::function<bool(Rgb)>& pick);
// The share of the pixels in `region` that are the same in both pictures.
double SameShare(const Screenshot& a, const Screenshot& b, Box region);
// Whether a screenshot is of one colour or not taken: a desktop, not yet a window.
bool Bare(const Screenshot& shot);
// Takes screenshots (for ten seconds at most) until one is not bare: a window on the screen.
Screenshot Picture(const std::string& name);
// Whether the screen below the score line changes within a few looks (the fish swim), once
// the game's picture is up (not the bare screen of a window being opened).
bool Drawing(const std::string& name);
// The one fish swimming in the game, found by its movement between two looks a moment apart,
// where it was at the first look; empty when there is none, or more than one thing moved.
struct Sighting {
  Box fish;
  std::chrono::steady_clock::time_point at;
};
Sighting SwimmingFish(const std::string& name);

// A replay the game is writing (--record), as far as it got: a line for each step in which
// anything changed, with what the game read of the player and " =<score>,<misses>" when those
// changed. What the game itself says it has read.
struct ReplaySoFar {
  explicit ReplaySoFar(const std::string& path) : text(ReadFileBytes(path)) {}
  // Whether the game has read all of these changes (" k33+", " b1+") since `from`.
  bool Read(std::initializer_list<const char*> changes, std::size_t from = 0) const;
  // The last value of " =<score>", " x<n>", " y<n>"; 0 before any.
  int Last(const char* what) const;

  std::string text;
};

// Moves the cross-hair of the game recording `replay` to (x, y) by relative movement, from
// where the game says it is, until the game says it is there; whether it got there. (A
// Wayland compositor locks the pointer to the game's window only at the pointer's first motion
// over it, and passes that one on as a place: the move is made again then.)
bool MoveCrossHair(const std::string& replay, int x, int y);

// Another program's window, green, that takes the keyboard focus while it exists.
class FocusThief {
 public:
  FocusThief();
  ~FocusThief();
  FocusThief(const FocusThief&) = delete;
  FocusThief& operator=(const FocusThief&) = delete;

  bool HasFocus() const { return focused_; }

 private:
  void* window_ = nullptr;  // an SDL_Window
  bool focused_ = false;
};

// What a program printed, and how it ended.
struct ProgramRun {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out, err;
};
// Runs a shell command line to its end.
ProgramRun RunProgram(const std::string& command);

// The built game running in a folder of its own, with a copy of the GFX folder `gfx` there
// (none when empty), the arguments and the environment variables ("NAME=value") given, and
// recording a game it plays (into the file of the arguments' --record, else its own); killed
// if it is still running when this goes.
class GameProcess {
 public:
  GameProcess(const std::string& game, const std::string& gfx,
              const std::vector<std::string>& args = {},
              const std::vector<std::string>& environment = {});
  ~GameProcess();
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  // Types the name into the name dialog and confirms it.
  bool EnterName(const std::string& name);
  // Answers the first box, enters the name and waits until the fish swim.
  bool Begin(const std::string& name);
  // Escape held until the game has read it, and its screen closed; whether it was. (Held no
  // longer: a key still down when the "Game Over" box takes the focus may reach the box.)
  bool PressEscapeToEnd();
  // Escape, and the "Game Over" box answered: the exit status (-1 when it did not come to it).
  int End();
  // Stops and continues the game process (SIGSTOP, SIGCONT); whether the signal went out.
  bool Freeze();
  bool Thaw();
  // The exit status once the game has ended (within 10 s), or -1.
  int WaitForExit();
  std::string Record() const;
  // What the game wrote to its standard error.
  std::string Errors() const;
  const std::filesystem::path& folder() const { return dir_.path(); }
  // Its XDG_CONFIG_HOME, where its settings file goes.
  std::filesystem::path config_folder() const { return output_.path() / "config"; }

 private:
  TempDir dir_;         // the working folder
  TempDir output_;      // what it prints, and its replay unless the test names one
  std::string replay_;  // what the game has read, as it goes; none when it shows a replay
  pid_t pid_ = -1;
};

}  // namespace grumbol::testing
