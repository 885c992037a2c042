#pragma once

#include "audio/movies.h"
#include "audio/sounds.h"
#include "game/player_input.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "platform/clock.h"
#include "runtime/data_files.h"
#include "runtime/dialogs.h"
#include "runtime/random.h"
#include "runtime/text.h"
#include "video/screen.h"
#include "video/sprites.h"
#include "video/text_drawing.h"

namespace grumbol::game {

// The media layer and runtime services the game talks to, wired once by the program's
// entry (real backends) or by a test (headless ones).
struct Media {
  Screen& screen;
  Sprites& sprites;
  TextDrawing& text;
  Sounds& sounds;
  Movies& movies;
  Keyboard& keyboard;
  Mouse& mouse;
  PlayerInput& input;  // what the game reads of the player, from the two above or a recording
  DataFiles& files;
  MessageDialogs& dialogs;
  RandomGenerator& random;
  platform::Clock& clock;
  ScratchText& scratch;
};

}  // namespace grumbol::game
