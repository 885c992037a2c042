#pragma once

#include <SDL2/SDL_scancode.h>

namespace grumbol::platform {

// The key code (DIK_* value, a PC set-1 scan code) of the key at an SDL key position; 0 for keys
// that have none. Both name positions, so a key keeps its code whatever layout is active: DIK_Z
// (44) is the key labelled Y on a German keyboard.
int KeyCodeFor(SDL_Scancode scancode);

}  // namespace grumbol::platform
