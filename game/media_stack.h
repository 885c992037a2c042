#pragma once

#include "game/media.h"
#include "game/player_input.h"
#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/fonts.h"
#include "platform/input_device.h"
#include "platform/movie_player.h"
#include "platform/null/manual_clock.h"
#include "platform/null/null_backends.h"

namespace grumbol::game {

// The media layer and runtime over a set of backends, wired in the order the game expects
// them ready: text drawing, files, picture decoders and dialogs before the game's first step.
struct MediaStack {
  MediaStack(platform::Clock& clock, platform::Display& display,
             platform::InputSystem& input_system, platform::AudioSystem& audio_system,
             platform::MoviePlayer& movie_player, platform::Dialogs& dialog_system,
             platform::FileSystem& file_system, platform::FontSource& fonts)
      : clock(clock),
        random(clock),
        text(fonts),
        files(file_system),
        dialogs(dialog_system),
        screen(display, clock),
        sprites(screen, file_system),
        sounds(screen, file_system, audio_system),
        movies(screen, movie_player, file_system),
        input_service(input_system) {}

  Media For(PlayerInput& input) {
    return {screen, sprites, text,    sounds, movies, keyboard, mouse,
            input,  files,   dialogs, random, clock,  scratch};
  }

  platform::Clock& clock;
  ScratchText scratch;
  RandomGenerator random;
  TextDrawing text;
  DataFiles files;
  MessageDialogs dialogs;
  Screen screen;
  Sprites sprites;
  Sounds sounds;
  Movies movies;
  InputService input_service;
  Keyboard keyboard{input_service, screen};
  Mouse mouse{input_service, screen};
};

// The stack on no backends at all: the game runs its rules, shows and plays nothing, reads no
// files, has no font, and its clock never waits.
struct NullMediaStack {
  explicit NullMediaStack(std::uint32_t start_tick = 0) : clock(start_tick) {}
  platform::ManualClock clock;
  platform::NullDisplay display;
  platform::NullInputSystem input_system;
  platform::NullAudioSystem audio_system;
  platform::NullMoviePlayer movie_player;
  platform::NullDialogs dialogs;
  platform::NullFileSystem files;
  platform::NullFontSource fonts;
  MediaStack stack{clock, display, input_system, audio_system, movie_player, dialogs, files, fonts};
};

}  // namespace grumbol::game
