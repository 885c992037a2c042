// The program's entry: the real backends (SDL2 display and input, OpenAL Soft sound,
// GStreamer movies, GTK3 dialogs, POSIX clock and files), wired once, then the game.

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "audio/movies.h"
#include "audio/sounds.h"
#include "game/game.h"
#include "input/direct_input.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/system_clock.h"
#include "platform/sdl/gst_movie_player.h"
#include "platform/sdl/gtk_dialogs.h"
#include "platform/sdl/openal_audio.h"
#include "platform/sdl/sdl_display.h"
#include "platform/sdl/sdl_input.h"

int main(int argc, char** argv) {
  using namespace grumbol;
  platform::SdlDisplay::Options display_options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--window") == 0) {
      display_options.windowed = true;
    } else {
      std::cerr << "grumbol: unknown option '" << argv[i] << "' (known: --window)\n";
      return 2;
    }
  }

  platform::SystemClock clock;
  platform::PosixFileSystem file_system;
  platform::SdlDisplay display(display_options);
  platform::SdlInput input_system(display);
  platform::OpenAlSystem audio_system;
  platform::GstMoviePlayer movie_player;
  platform::GtkDialogs gtk_dialogs;

  // The runtime: text drawing, files, picture decoders and dialogs are ready before the
  // game's first step.
  ScratchText scratch;
  RandomGenerator random(clock);
  TextDrawing text;
  DataFiles files(file_system);
  MessageDialogs dialogs(gtk_dialogs);

  Screen screen(display, clock);
  Sprites sprites(screen, file_system);
  Sounds sounds(screen, file_system, audio_system);
  Movies movies(screen, movie_player);
  DirectInput direct_input(input_system);
  Keyboard keyboard(direct_input, screen);
  Mouse mouse(direct_input, screen);

  game::Media media{screen, sprites, text,   sounds, movies, keyboard,
                    mouse,  files,   dialogs, random, clock,  scratch};
  game::Game game(media);
  const int status = game.Run(std::cerr);
  // GRUMBOL_STATS=1: how well the game kept its beat of 60 steps a second.
  if (const char* stats = std::getenv("GRUMBOL_STATS"); stats != nullptr && std::strcmp(stats, "1") == 0) {
    std::cerr << "grumbol: " << screen.step_stats().Summary() << "\n";
  }
  return status;
}
