#pragma once

#include "platform/sdl/sdl_handles.h"

namespace grumbol::platform::sdl {

// The program's window icon: the fish of platform/fish_icon.h at 32x32, so the program
// needs no icon file. Null when SDL cannot make the surface.
SurfacePtr MakeFishIcon();

}  // namespace grumbol::platform::sdl
