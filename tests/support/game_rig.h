#pragma once

// A whole game on the headless backends (manual clock, in-memory display, scripted input,
// recording sound, scripted dialogs), with the file system and movie player chosen by the
// caller, recorded into a replay file when one is named. Shared by the game and fault tests,
// the replay tests, the soak program and the benchmarks.

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

struct GameRig {
  // `answers` are the texts the name dialog gets, one per time it is shown.
  GameRig(bool sound_device, platform::FileSystem& file_system, platform::MoviePlayer& player,
          std::vector<std::string> answers, std::uint32_t start_tick = 4242,
          const std::string& replay = "")
      : clock(start_tick),
        audio(sound_device),
        dialogs(std::move(answers)),
        stack(clock, display, input, audio, player, dialogs, file_system, fonts),
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
  // Puts the pointer at (x, y) for the next poll (the mouse moves relative only).
  void PointAt(int x, int y) {
    Do(platform::HeadlessInput::Action::Kind::kMove, x - mouse.PointerX(), y - mouse.PointerY());
  }

  platform::ManualClock clock;
  platform::HeadlessDisplay display{clock};
  platform::HeadlessInput input;
  platform::RecordingAudioSystem audio;
  platform::ScriptedDialogs dialogs;
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
