#include "tests/xvfb/x_player.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>

namespace grumbol::testing {

namespace {

bool Set(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool WindowShown(const std::string& title, bool focused) {
  if (Set("SWAYSOCK")) {
    return RunShell("swaymsg -q '[title=\"^" + title + "$\"" +
                    (focused ? " con_id=__focused__" : "") + "] nop' 2>/dev/null") == 0;
  }
  return RunShell(focused
                      ? "[ \"$(xdotool getactivewindow getwindowname 2>/dev/null)\" = '" + title +
                            "' ]"
                      : "xdotool search --onlyvisible --name '^" + title + "$' >/dev/null") == 0;
}

bool AppWindowShown(const std::string& app_id) {
  if (Set("SWAYSOCK")) {
    return RunShell("swaymsg -q '[app_id=\"^" + app_id +
                    "$\"] nop' 2>/dev/null || swaymsg -q '[class=\"^" + app_id +
                    "$\"] nop' 2>/dev/null") == 0;
  }
  return RunShell("xdotool search --onlyvisible --class '^" + app_id + "$' >/dev/null") == 0;
}

std::string WindowList() {
  return RunProgram(
             "echo windows:; swaymsg -t get_tree 2>/dev/null | grep '\"name\"'; "
             "xwininfo -root -tree 2>/dev/null | grep '\"'")
      .out;
}

bool WaitUntil(const std::function<bool()>& done, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  bool yes = done();
  for (; !yes && std::chrono::steady_clock::now() < deadline; yes = done()) Pause(50);
  return yes;
}

bool WaitForWindow(const std::string& title) {
  return WaitUntil([&] { return WindowShown(title); });
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

int Drive(const std::string& commands) {
  // Under a compositor its own devices, which reach its X server as a real keyboard and mouse
  // do: keys pressed through that X server alone are unknown to the compositor.
  const char* wayland_input = std::getenv("WAYLAND_INPUT");
  const bool compositor = Set("WAYLAND_DISPLAY") && wayland_input != nullptr;
  return RunShell((compositor ? std::string(wayland_input) : "xdotool") + " " + commands);
}

void HoldKey(const std::string& key) { Drive("keydown " + key + " sleep 0.15 keyup " + key); }

bool HoldUntil(const std::string& press, const std::string& release,
               const std::function<bool()>& done) {
  Drive(press);
  const bool had = WaitUntil(done);
  Drive(release);
  return had;
}

namespace {

// The smallest box around the pixels of `region` that `pick` takes.
template <typename Pick>
Box Around(Box region, Pick pick) {
  Box box;
  for (int y = region.top; y <= region.bottom; ++y) {
    for (int x = region.left; x <= region.right; ++x) {
      if (!pick(x, y)) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
             std::max(box.bottom, y)};
    }
  }
  return box;
}

}  // namespace

Box Changed(const Screenshot& a, const Screenshot& b) {
  return Around({0, 20, a.width() - 1, a.height() - 1},
                [&](int x, int y) { return !(a.At(x, y) == b.At(x, y)); });
}

Box Lit(const Screenshot& shot, std::optional<Box> region) {
  return Around(region.value_or(Box{0, 0, shot.width() - 1, shot.height() - 1}), [&](int x, int y) {
    return !(shot.At(x, y) == Rgb{0, 0, 0});
  });
}

Box OfColour(const Screenshot& shot, const std::function<bool(Rgb)>& pick) {
  return Around(Box{0, 0, shot.width() - 1, shot.height() - 1},
                [&](int x, int y) { return pick(shot.At(x, y)); });
}

double SameShare(const Screenshot& a, const Screenshot& b, Box region) {
  long same = 0, all = 0;
  for (int y = region.top; y <= region.bottom; ++y) {
    for (int x = region.left; x <= region.right; ++x, ++all) same += a.At(x, y) == b.At(x, y);
  }
  return all > 0 ? static_cast<double>(same) / static_cast<double>(all) : 1.0;
}

bool Bare(const Screenshot& shot) {
  // A grid of points, all of one colour.
  const auto at = [&](int n) {
    return shot.At(shot.width() * (n % 7 + 1) / 8, shot.height() * (n / 7 + 1) / 8);
  };
  for (int n = 1; shot.Taken() && n < 49; ++n) {
    if (!(at(n) == at(0))) return false;
  }
  return true;
}

Screenshot Picture(const std::string& name) {
  Screenshot shot(name);
  WaitUntil([&] { return !Bare(shot = Screenshot(name)); }, 10);
  return shot;
}

bool Drawing(const std::string& name) {
  for (int tries = 0; tries < 20; ++tries) {
    const Screenshot before(name + "_a");
    Pause(200);
    const Screenshot after(name + "_b");
    if (!Bare(before) && !Bare(after) && !Changed(before, after).Empty()) return true;
  }
  return false;
}

Sighting SwimmingFish(const std::string& name) {
  const Screenshot before(name + "_a");
  Pause(150);
  const Screenshot after(name + "_b");
  if (!before.Taken() || !after.Taken()) return {};
  // The fish moves right: the left edge of what changed is where it was at the first look.
  // It swims 120 pixels a second, a little faster as the game catches up after a stall; a
  // change wider than one fish and its way is something else.
  const Box moved = Changed(before, after);
  const double seconds =
      std::chrono::duration<double>(after.taken_at() - before.taken_at()).count() + 0.1;
  return {moved.Width() <= 110 + static_cast<int>(120 * seconds) ? moved : Box{},
          before.taken_at()};
}

bool ReplaySoFar::Read(std::initializer_list<const char*> changes, std::size_t from) const {
  for (const char* change : changes) {
    if (text.find(change, from) == std::string::npos) return false;
  }
  return true;
}

int ReplaySoFar::Last(const char* what) const {
  const std::size_t at = text.rfind(what);
  return at == std::string::npos ? 0 : std::atoi(text.c_str() + at + 2);
}

bool MoveCrossHair(const std::string& replay, int x, int y) {
  const auto there = [&] {
    const ReplaySoFar now(replay);
    return now.Last(" x") == x && now.Last(" y") == y;
  };
  // Moved again only from where the game says the cross-hair is once the last move had all the
  // time it could need: a move made from a position the game has not yet reached overshoots.
  for (int moves = 0; moves < 6; ++moves) {
    const ReplaySoFar now(replay);
    Drive("mousemove_relative -- " + std::to_string(x - now.Last(" x")) + " " +
          std::to_string(y - now.Last(" y")));
    if (WaitUntil(there, 5)) return true;
  }
  return false;
}

FocusThief::FocusThief() {
  // Under a compositor, one of its own windows, whatever the game's window is.
  if (Set("WAYLAND_DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return;
  SDL_Window* window = SDL_CreateWindow("Focus thief", 200, 200, 300, 200, SDL_WINDOW_SHOWN);
  window_ = window;
  if (window == nullptr) return;
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 255, 0));
  SDL_UpdateWindowSurface(window);
  // With no window manager SDL gives the focus to a window it shows; take it explicitly too.
  if (Set("SWAYSOCK")) {
    focused_ = WaitForWindow("Focus thief") &&
               RunShell("swaymsg -q '[title=\"^Focus thief$\"] focus'") == 0 &&
               WindowShown("Focus thief", true);
  } else {
    focused_ = RunShell("xdotool search --sync --name '^Focus thief$' windowfocus --sync") == 0;
  }
}

FocusThief::~FocusThief() {
  if (window_ != nullptr) SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
  SDL_Quit();
}

ProgramRun RunProgram(const std::string& command) {
  const TempDir dir;
  const int status =
      RunShell("(" + command + ") >" + dir.File("out") + " 2>" + dir.File("err") + " </dev/null");
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFileBytes(dir.File("out")),
          ReadFileBytes(dir.File("err"))};
}

GameProcess::GameProcess(const std::string& game, const std::string& gfx,
                         const std::vector<std::string>& args,
                         const std::vector<std::string>& environment) {
  std::error_code error;
  if (!gfx.empty())
    std::filesystem::copy(gfx, dir_.path() / "GFX", std::filesystem::copy_options::recursive,
                          error);
  if (error) return;
  std::vector<std::string> settings = environment;  // putenv keeps the strings
  std::vector<std::string> arguments = args;
  const auto named = std::find(arguments.begin(), arguments.end(), "--record");
  if (named != arguments.end() && named + 1 != arguments.end()) {
    replay_ = *(named + 1);
  } else if (std::find(arguments.begin(), arguments.end(), "--replay") == arguments.end() &&
             std::find(arguments.begin(), arguments.end(), "--settings") == arguments.end()) {
    replay_ = output_.File("game.replay");
    arguments.insert(arguments.end(), {"--record", replay_});
  }
  std::vector<char*> argv{const_cast<char*>(game.c_str())};
  for (std::string& arg : arguments) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string errors = output_.File("stderr.txt");
  pid_ = fork();
  if (pid_ == 0) {
    std::filesystem::current_path(dir_.path());
    const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) dup2(fd, STDERR_FILENO);
    // The player's settings of this game alone, unless the test names others; not in the
    // working folder, which libraries that keep their settings there would fill.
    setenv("XDG_CONFIG_HOME", config_folder().c_str(), 1);
    for (std::string& setting : settings) putenv(setting.data());
    execv(game.c_str(), argv.data());
    _exit(127);
  }
}

GameProcess::~GameProcess() {
  if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

bool GameProcess::EnterName(const std::string& name) {
  if (!WaitForWindow("Daromirs Grumbol Game")) return false;
  Drive("type --delay 30 '" + name + "'");
  HoldKey("Return");
  return true;
}

bool GameProcess::Begin(const std::string& name) {
  if (!WaitForWindow("Daromir Grumbol Game")) return false;
  HoldKey("Return");
  return EnterName(name) && Drawing("begin_" + name);
}

bool GameProcess::PressEscapeToEnd() {
  const std::size_t from = replay_.empty() ? 0 : ReplaySoFar(replay_).text.size();
  const bool read = HoldUntil("keydown Escape", "keyup Escape", [&] {
    return replay_.empty() ? !WindowShown("Daromirs Grumbol Game")
                           : ReplaySoFar(replay_).Read({" k1+"}, from);
  });
  return read && WaitUntil([] { return !WindowShown("Daromirs Grumbol Game"); });
}

int GameProcess::End() {
  if (!PressEscapeToEnd() || !WaitForWindow("Game Over")) {
    std::cerr << "no Game Over box:\n" << Errors() << WindowList();
    return -1;
  }
  HoldKey("Return");
  return WaitForExit();
}

bool GameProcess::Freeze() { return pid_ > 0 && kill(pid_, SIGSTOP) == 0; }
bool GameProcess::Thaw() { return pid_ > 0 && kill(pid_, SIGCONT) == 0; }

int GameProcess::WaitForExit() {
  int status = 0;
  for (int i = 0; i < 100; ++i) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    Pause(100);
  }
  return -1;
}

std::string GameProcess::Record() const {
  return ReadFileBytes((dir_.path() / "GFX" / "Vusk.qzc").string());
}

std::string GameProcess::Errors() const { return ReadFileBytes(output_.File("stderr.txt")); }

}  // namespace grumbol::testing
