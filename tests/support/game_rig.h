#pragma once

// A whole game on the headless backends (manual clock, in-memory display, scripted input,
// recording sound, scripted dialogs), with the file system and movie player chosen by the
// caller, recorded into a replay file when one is named. The display, dialogs and input calls
// are written into one log, so that tests can pin what comes before what. Shared by the game
// and fault tests, the replay tests, the soak program and the benchmarks.

#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/media_stack.h"
#include "game/replay.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_input.h"
#include "platform/headless/recording_audio.h"
#include "platform/headless/recording_movies.h"
#include "platform/headless/scripted_dialogs.h"
#include "platform/null/manual_clock.h"
#include "platform/sdl_ttf/ttf_fonts.h"

namespace grumbol::testing {

// The game's seven movie files, by the names it opens them with.
inline const std::set<std::string> kGameMovies{
    "GFX\\Movie1.qzm", "GFX\\Movie2.qzm", "GFX\\Movie3.qzm", "GFX\\Movie4.qzm",
    "GFX\\Movie5.qzm", "GFX\\Movie6.qzm", "GFX\\Movie7.qzm"};

using CallLog = std::vector<std::string>;

// The headless display, logging the screen's close and the video system's stop, and keeping
// copies of the frames presented while `keep` is set.
class LoggedDisplay final : public platform::Display {
 public:
  LoggedDisplay(platform::HeadlessDisplay& display, CallLog& log) : d_(display), log_(log) {}
  bool StartVideoSystem() override { return d_.StartVideoSystem(); }
  void StopVideoSystem() override { log_.push_back("stop video"), d_.StopVideoSystem(); }
  bool CreateWindow() override { return d_.CreateWindow(); }
  bool HasWindow() const override { return d_.HasWindow(); }
  std::optional<PixelLayout> OpenScreen(int width, int height, int depth,
                                        const std::string& title) override {
    return d_.OpenScreen(width, height, depth, title);
  }
  void CloseScreen() override { log_.push_back("close screen"), d_.CloseScreen(); }
  void RestoreScreen() override { d_.RestoreScreen(); }
  void Present(const std::uint8_t* pixels, int pitch) override {
    d_.Present(pixels, pitch);
    if (keep) kept.emplace_back(pixels, pixels + pitch * 768);  // 1024 x 768, 4 bytes a pixel
  }
  double VsyncRefreshHz() const override { return d_.VsyncRefreshHz(); }
  bool PollWindowEvent(platform::WindowEvent& event) override { return d_.PollWindowEvent(event); }
  void ShowCursor(bool visible) override { d_.ShowCursor(visible); }

  bool keep = false;
  std::vector<std::vector<std::uint8_t>> kept;

 private:
  platform::HeadlessDisplay& d_;
  CallLog& log_;
};

// The scripted dialogs, logging each message box with what `look` says at that moment.
class LoggedDialogs final : public platform::Dialogs {
 public:
  LoggedDialogs(platform::ScriptedDialogs& dialogs, CallLog& log) : d_(dialogs), log_(log) {}
  bool Available() override { return d_.Available(); }
  int ShowMessageBox(const std::string& title, const std::string& text, int flags) override {
    log_.push_back("box " + title + (look ? look() : ""));
    return d_.ShowMessageBox(title, text, flags);
  }
  std::string AskForText(const std::string& title, const std::string& prompt,
                         const std::string& text) override {
    return d_.AskForText(title, prompt, text);
  }
  std::function<std::string()> look;

 private:
  platform::ScriptedDialogs& d_;
  CallLog& log_;
};

// The scripted input, logging its stop (once the keyboard and the mouse have both let go).
class LoggedInput final : public platform::InputSystem {
 public:
  LoggedInput(platform::HeadlessInput& input, CallLog& log) : i_(input), log_(log) {}
  bool Start() override { return i_.Start(); }
  void Stop() override { log_.push_back("stop input"), i_.Stop(); }
  std::unique_ptr<platform::KeyboardDevice> CreateKeyboard() override {
    return i_.CreateKeyboard();
  }
  std::unique_ptr<platform::MouseDevice> CreateMouse() override { return i_.CreateMouse(); }

 private:
  platform::HeadlessInput& i_;
  CallLog& log_;
};

struct GameRig {
  // `answers` are the texts the name dialog gets, one per time it is shown.
  GameRig(bool sound_device, platform::FileSystem& file_system, platform::MoviePlayer& player,
          std::vector<std::string> answers, std::uint32_t start_tick = 4242,
          const std::string& replay = "")
      : clock(start_tick),
        audio(sound_device),
        dialogs(std::move(answers)),
        stack(clock, logged_display, logged_input, audio, player, logged_dialogs, file_system,
              fonts),
        recorder(replay.empty() ? nullptr
                                : std::make_unique<game::ReplayRecorder>(
                                      live, stack.random,
                                      file_system.Open(replay, platform::FileAccess::kWrite,
                                                       platform::FileDisposition::kCreateAlways))) {
    if (recorder) recorder->Watch(game.state());
  }

  bool Start() {
    std::ostringstream errors;
    return game.StartUp(errors);
  }
  // Runs `count` passes; false when the loop ended before.
  bool Run(int count) {
    for (int i = 0; i < count; ++i) {
      if (!game.RunFrame()) return false;
    }
    return true;
  }
  void Do(platform::HeadlessInput::Action::Kind kind, int a, int b = 0) { input.Do({kind, a, b}); }
  void Keys(platform::HeadlessInput::Action::Kind kind, std::initializer_list<int> codes) {
    for (int code : codes) Do(kind, code);
  }
  // Puts the pointer at (x, y) for the next poll (the mouse moves relative only).
  void PointAt(int x, int y) {
    Do(platform::HeadlessInput::Action::Kind::kMove, x - mouse.PointerX(), y - mouse.PointerY());
  }
  // Press in one pass, release seen by the next: one shot.
  void Click(int x, int y) {
    PointAt(x, y);
    Do(platform::HeadlessInput::Action::Kind::kButtonDown, 1);
    Run(1);
    Do(platform::HeadlessInput::Action::Kind::kButtonUp, 1);
    Run(1);
  }

  CallLog calls;
  platform::ManualClock clock;
  platform::HeadlessDisplay display{clock};
  LoggedDisplay logged_display{display, calls};
  platform::HeadlessInput input;
  LoggedInput logged_input{input, calls};
  platform::RecordingAudioSystem audio;
  platform::ScriptedDialogs dialogs;
  LoggedDialogs logged_dialogs{dialogs, calls};
  platform::TtfFontSource fonts;
  game::MediaStack stack;
  Screen& screen = stack.screen;
  Keyboard& keyboard = stack.keyboard;
  Mouse& mouse = stack.mouse;
  game::LiveInput live{keyboard, mouse};
  std::unique_ptr<game::ReplayRecorder> recorder;  // when the game is recorded
  game::Media media = stack.For(recorder ? static_cast<game::PlayerInput&>(*recorder) : live);
  game::Game game{media};
};

}  // namespace grumbol::testing
