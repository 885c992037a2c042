#pragma once

#include <SDL2/SDL_scancode.h>

namespace grumbol::platform {

// The DirectInput scan code (DIK_* value) of the key at an SDL key position; 0 for keys that
// have none. Both name positions, so a key keeps its code whatever layout is active: DIK_Z
// (44) is the key labelled Y on a German keyboard.
int DirectInputKeyFor(SDL_Scancode scancode);

}  // namespace grumbol::platform
