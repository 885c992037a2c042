// start-probe [--rounds N] [--play SECONDS] GAME...
//
// The start and the weight of the game as a player meets them, on the X server of $DISPLAY
// (1024x768, a window manager that keeps the EWMH client list, a black desktop). Each round
// starts each GAME in turn in the working folder and measures, looking at the screen every
// 2 ms: the launch to the first box drawn; the name confirmed (Return in the name box) to the
// game's first frame (the blue of its score line); then, after a second of play, the processor
// time the game's process uses per second of play over SECONDS (default 10), and its resident
// memory at the end, and the steps a second the game counted (GRUMBOL_STATS) as Escape ends
// it. The games take turns so that the machine's noise hits each alike; the
// figures are medians over the rounds (default 5).

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Where a game's standard error goes, in the working folder.
constexpr const char* kErrors = "start-probe-errors.txt";

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

class Desktop {
 public:
  Desktop() : display_(XOpenDisplay(nullptr)) {
    // A window in the client list may be gone by the time it is asked about.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  }
  ~Desktop() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  bool Open() const { return display_ != nullptr; }

  // Whether a window of this title is shown, by the window manager's list of clients.
  bool Shown(const std::string& title) {
    const Atom list = XInternAtom(display_, "_NET_CLIENT_LIST", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, DefaultRootWindow(display_), list, 0, 1024, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) != Success ||
        data == nullptr)
      return false;
    bool shown = false;
    const auto* windows = reinterpret_cast<const Window*>(data);
    for (unsigned long i = 0; i < count && !shown; ++i) {
      char* name = nullptr;
      XWindowAttributes attributes{};
      if (XFetchName(display_, windows[i], &name) != 0 && name != nullptr) {
        shown = title == name && XGetWindowAttributes(display_, windows[i], &attributes) != 0 &&
                attributes.map_state == IsViewable;
        XFree(name);
      }
    }
    XFree(data);
    return shown;
  }

  // How many pixels of the rectangle are within 40 of the colour in each channel.
  int CountColour(int x, int y, int width, int height, int r, int g, int b) {
    XImage* image =
        XGetImage(display_, DefaultRootWindow(display_), x, y, width, height, AllPlanes, ZPixmap);
    if (image == nullptr) return 0;
    int count = 0;
    for (int row = 0; row < height; ++row) {
      for (int column = 0; column < width; ++column) {
        const unsigned long pixel = XGetPixel(image, column, row);
        const int pr = static_cast<int>((pixel >> 16) & 0xff);
        const int pg = static_cast<int>((pixel >> 8) & 0xff);
        const int pb = static_cast<int>(pixel & 0xff);
        count += std::abs(pr - r) <= 40 && std::abs(pg - g) <= 40 && std::abs(pb - b) <= 40;
      }
    }
    XDestroyImage(image);
    return count;
  }

  bool Lit(int x, int y) { return CountColour(x, y, 1, 1, 0, 0, 0) == 0; }

  void Key(KeySym symbol, bool down) {
    XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, symbol), down ? True : False,
                      CurrentTime);
    XSync(display_, False);
  }
  // Held for a few frames: a press and release between two of the game's looks reads as up.
  void Press(KeySym symbol) {
    Key(symbol, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Key(symbol, false);
  }

 private:
  Display* display_;
};

// Asks `done` every 2 ms until it says yes, for `seconds` at most; whether it did.
bool Poll(const std::function<bool()>& done, int seconds = 30) {
  const Clock::time_point until = Clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (Clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::optional<long> ProcessTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields after the command's name, which is in parentheses and may hold spaces.
  const std::size_t end = text.rfind(')');
  if (end == std::string::npos) return std::nullopt;
  std::istringstream fields(text.substr(end + 2));
  std::string field;
  long user = 0, system = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) user = std::stol(field);
    if (i == 15) system = std::stol(field);
  }
  return user + system;
}

// Resident memory in MB, from the process's status.
double ResidentMegabytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmRSS:")) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

struct Figures {
  double first_box_ms = 0, first_frame_ms = 0, core_share = 0, resident_mb = 0;
  double steps_per_second = 0;
};

std::optional<Figures> Round(Desktop& desktop, const std::string& game, int play_seconds) {
  Figures figures;
  const Clock::time_point launched = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (std::freopen(kErrors, "w", stderr) == nullptr) _exit(127);
    setenv("GRUMBOL_STATS", "1", 1);
    execl(game.c_str(), game.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const auto fail = [pid](const char* what) {
    std::fprintf(stderr, "start-probe: %s\n", what);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return std::nullopt;
  };
  if (!Poll([&] { return desktop.Shown("Daromir Grumbol Game") && desktop.Lit(512, 384); }))
    return fail("no first box");
  figures.first_box_ms = MillisecondsSince(launched);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  desktop.Press(XK_Return);
  if (!Poll([&] { return desktop.Shown("Daromirs Grumbol Game"); })) return fail("no name box");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  for (const KeySym letter : {XK_m, XK_e, XK_s, XK_s, XK_e, XK_r}) desktop.Press(letter);
  const Clock::time_point confirmed = Clock::now();
  desktop.Key(XK_Return, true);
  // "Punkte:0" in blue at the top left.
  if (!Poll([&] { return desktop.CountColour(0, 0, 90, 16, 2, 121, 234) > 20; }))
    return fail("no first frame");
  figures.first_frame_ms = MillisecondsSince(confirmed);
  desktop.Key(XK_Return, false);

  std::this_thread::sleep_for(std::chrono::seconds(1));
  const std::optional<long> start_ticks = ProcessTicks(pid);
  const Clock::time_point start = Clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(play_seconds));
  const std::optional<long> end_ticks = ProcessTicks(pid);
  const double seconds = MillisecondsSince(start) / 1000.0;
  figures.resident_mb = ResidentMegabytes(pid);
  if (!start_ticks || !end_ticks) return fail("the game ended early");
  figures.core_share = static_cast<double>(*end_ticks - *start_ticks) /
                       static_cast<double>(sysconf(_SC_CLK_TCK)) / seconds;
  // Ended as a player ends it, for the game's own count of its steps.
  desktop.Press(XK_Escape);
  if (!Poll([&] { return desktop.Shown("Game Over"); })) return fail("no Game Over box");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  desktop.Press(XK_Return);
  waitpid(pid, nullptr, 0);
  std::ifstream errors(kErrors);
  std::string line;
  while (std::getline(errors, line)) {
    const std::size_t at = line.find(" steps/s");
    const std::size_t from = line.rfind("= ", at);
    if (at != std::string::npos && from != std::string::npos)
      figures.steps_per_second = std::stod(line.substr(from + 2, at - from - 2));
  }
  return figures;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n == 0 ? 0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 5, play_seconds = 10;
  std::vector<std::string> games;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--rounds" || arg == "--play") && i + 1 < argc) {
      (arg == "--rounds" ? rounds : play_seconds) = std::max(1, std::atoi(argv[++i]));
    } else {
      games.push_back(arg);
    }
  }
  if (games.empty()) {
    std::fprintf(stderr, "usage: start-probe [--rounds N] [--play SECONDS] GAME...\n");
    return 2;
  }
  Desktop desktop;
  if (!desktop.Open()) {
    std::fprintf(stderr, "start-probe: no X server (DISPLAY)\n");
    return 2;
  }
  std::vector<std::vector<Figures>> measured(games.size());
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t g = 0; g < games.size(); ++g) {
      const std::optional<Figures> figures = Round(desktop, games[g], play_seconds);
      if (!figures) return 1;
      measured[g].push_back(*figures);
    }
  }
  for (std::size_t g = 0; g < games.size(); ++g) {
    const auto median = [&](double Figures::*field) {
      std::vector<double> values;
      for (const Figures& figures : measured[g]) values.push_back(figures.*field);
      return Median(values);
    };
    std::printf(
        "%s (medians of %d):\n"
        "  launch to the first box      %6.0f ms\n"
        "  name to the first frame      %6.0f ms\n"
        "  processor time while playing %6.3f s a second\n"
        "  resident memory while playing %5.0f MB\n"
        "  steps a second, as the game counts %6.2f\n",
        games[g].c_str(), rounds, median(&Figures::first_box_ms), median(&Figures::first_frame_ms),
        median(&Figures::core_share), median(&Figures::resident_mb),
        median(&Figures::steps_per_second));
  }
  return 0;
}
