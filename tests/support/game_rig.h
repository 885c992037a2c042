#pragma once

// A whole game on the headless backends (manual clock, in-memory display, scripted input,
// recording sound, scripted dialogs), with the file system and movie player chosen by the
// caller, recorded into a replay file when one is named. Shared by the game and fault tests,
// the replay tests, the soak program and the benchmarks.

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

// The game's seven movie files, by the names the movie player is given.
inline const std::set<std::string> kGameMovies{"GFX/Movie1.qzm", "GFX/Movie2.qzm", "GFX/Movie3.qzm",
                                               "GFX/Movie4.qzm", "GFX/Movie5.qzm", "GFX/Movie6.qzm",
                                               "GFX/Movie7.qzm"};

// The headless display, dialogs and input passed through, with the calls tests order by in
// one log: the screen's close, each message box (with what `look` says then), the stops of the
// video and input systems. Frames presented while `keep` is set are kept.
class CallLog final : public platform::Display,
                      public platform::Dialogs,
                      public platform::InputSystem {
 public:
  CallLog(platform::HeadlessDisplay& display, platform::ScriptedDialogs& dialogs,
          platform::HeadlessInput& input)
      : display_(display), dialogs_(dialogs), input_(input) {}

  bool StartVideoSystem() override { return display_.StartVideoSystem(); }
  void StopVideoSystem() override { calls.push_back("stop video"), display_.StopVideoSystem(); }
  bool CreateWindow() override { return display_.CreateWindow(); }
  bool HasWindow() const override { return display_.HasWindow(); }
  std::optional<PixelLayout> OpenScreen(int width, int height, int depth,
                                        const std::string& title) override {
    return display_.OpenScreen(width, height, depth, title);
  }
  void CloseScreen() override { calls.push_back("close screen"), display_.CloseScreen(); }
  void RestoreScreen() override { display_.RestoreScreen(); }
  void Present(const std::uint8_t* pixels, int pitch) override {
    display_.Present(pixels, pitch);
    if (keep) kept.push_back(display_.last_frame());
  }
  double VsyncRefreshHz() const override { return display_.VsyncRefreshHz(); }
  bool PollWindowEvent(platform::WindowEvent& event) override {
    return display_.PollWindowEvent(event);
  }
  void ShowCursor(bool visible) override { display_.ShowCursor(visible); }

  bool Available() override { return dialogs_.Available(); }
  int ShowMessageBox(const std::string& title, const std::string& text, int flags) override {
    calls.push_back("box " + title + (look ? look() : ""));
    return dialogs_.ShowMessageBox(title, text, flags);
  }
  std::string AskForText(const std::string& title, const std::string& prompt,
                         const std::string& text) override {
    return dialogs_.AskForText(title, prompt, text);
  }

  bool Start() override { return input_.Start(); }
  void Stop() override { calls.push_back("stop input"), input_.Stop(); }
  std::unique_ptr<platform::KeyboardDevice> CreateKeyboard() override {
    return input_.CreateKeyboard();
  }
  std::unique_ptr<platform::MouseDevice> CreateMouse() override { return input_.CreateMouse(); }

  std::vector<std::string> calls;
  std::function<std::string()> look;
  bool keep = false;
  std::vector<Surface> kept;

 private:
  platform::HeadlessDisplay& display_;
  platform::ScriptedDialogs& dialogs_;
  platform::HeadlessInput& input_;
};

struct GameRig {
  // `answers` are the texts the name dialog gets, one per time it is shown.
  GameRig(bool sound_device, platform::FileSystem& file_system, platform::MoviePlayer& player,
          std::vector<std::string> answers, std::uint32_t start_tick = 4242,
          const std::string& replay = "")
      : clock(start_tick),
        audio(sound_device),
        dialogs(std::move(answers)),
        stack(clock, log, log, audio, player, log, file_system, fonts),
        recorder(replay.empty() ? nullptr
                                : std::make_unique<game::ReplayRecorder>(
                                      live, stack.random,
                                      file_system.Open(replay, platform::FileAccess::kWrite,
                                                       platform::FileDisposition::kCreateAlways))) {
    if (recorder) recorder->Watch(game.state());
  }

  // The game's start-up; when it fails, `why` gets what the game said.
  bool Start(std::string* why = nullptr) {
    std::ostringstream errors;
    const bool started = game.StartUp(errors);
    if (why != nullptr) *why = errors.str();
    return started;
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
    Do(platform::HeadlessInput::Action::Kind::kMove, x - stack.mouse.PointerX(),
       y - stack.mouse.PointerY());
  }
  // Press in one pass, release seen by the next: one shot.
  void Click(int x, int y) {
    PointAt(x, y);
    Do(platform::HeadlessInput::Action::Kind::kButtonDown, 1);
    Run(1);
    Do(platform::HeadlessInput::Action::Kind::kButtonUp, 1);
    Run(1);
  }

  platform::ManualClock clock;
  platform::HeadlessDisplay display{clock};
  platform::HeadlessInput input;
  platform::RecordingAudioSystem audio;
  platform::ScriptedDialogs dialogs;
  CallLog log{display, dialogs, input};
  platform::TtfFontSource fonts;
  game::MediaStack stack;
  game::LiveInput live{stack.keyboard, stack.mouse};
  std::unique_ptr<game::ReplayRecorder> recorder;  // when the game is recorded
  game::Media media = stack.For(recorder ? static_cast<game::PlayerInput&>(*recorder) : live);
  game::Game game{media};
};

}  // namespace grumbol::testing
