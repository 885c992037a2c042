#include "tests/xvfb/x_player.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace grumbol::testing {

bool WaitForWindow(const std::string& title) {
  return RunShell("timeout 20 xdotool search --sync --onlyvisible --name '^" + title + "$' >/dev/null") == 0;
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void HoldKey(const std::string& key) {
  RunShell("xdotool keydown " + key + " && sleep 0.15 && xdotool keyup " + key);
}

Box Changed(const Screenshot& a, const Screenshot& b) {
  Box box;
  for (int y = 20; y < Screenshot::kHeight; ++y) {
    for (int x = 0; x < Screenshot::kWidth; ++x) {
      if (a.At(x, y) == b.At(x, y)) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

GameProcess::GameProcess(const std::string& game, const std::string& make_gfx) {
  if (RunShell(make_gfx + " " + dir_.path().string() + " >/dev/null") != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    std::filesystem::current_path(dir_.path());
    execl(game.c_str(), game.c_str(), static_cast<char*>(nullptr));
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
  RunShell("xdotool type --delay 30 '" + name + "'");
  HoldKey("Return");
  return true;
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

}  // namespace grumbol::testing
