#pragma once

// A whole game on the headless backends (manual clock, in-memory display, scripted input,
// recording sound), with the file system and movie player chosen by the caller. Shared by
// the fault tests, the soak program and the benchmarks.

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "input/direct_input.h"
#include "platform/headless/headless_display.h"
#include "platform/headless/headless_input.h"
#include "platform/null/manual_clock.h"
#include "platform/headless/recording_audio.h"
#include "platform/headless/recording_movies.h"
#include "platform/headless/scripted_dialogs.h"

namespace grumbol::testing {

// The game's seven movie files, by the names it opens them with.
inline const std::set<std::string> kGameMovies{"GFX\\Movie1.qzm", "GFX\\Movie2.qzm", "GFX\\Movie3.qzm",
                                               "GFX\\Movie4.qzm", "GFX\\Movie5.qzm", "GFX\\Movie6.qzm",
                                               "GFX\\Movie7.qzm"};

struct GameRig {
  // `answers` are the texts the name dialog gets, one per time it is shown.
  GameRig(bool sound_device, platform::FileSystem& file_system, platform::MoviePlayer& player,
          std::vector<std::string> answers, std::uint32_t start_tick = 4242)
      : clock(start_tick),
        audio(sound_device),
        files(file_system),
        sprites(screen, file_system),
        sounds(screen, file_system, audio),
        movies(screen, player),
        dialogs(std::move(answers)) {}

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
  ScratchText scratch;
  RandomGenerator random{clock};
  TextDrawing text;
  DataFiles files;
  Screen screen{display, clock};
  Sprites sprites;
  Sounds sounds;
  Movies movies;
  DirectInput direct_input{input};
  Keyboard keyboard{direct_input, screen};
  Mouse mouse{direct_input, screen};
  game::LiveInput player{keyboard, mouse};
  platform::ScriptedDialogs dialogs;
  MessageDialogs message_dialogs{dialogs};
  game::Media media{screen, sprites, text, sounds, movies, keyboard, mouse, player, files, message_dialogs, random, clock, scratch};
  game::Game game{media};
};

}  // namespace grumbol::testing
