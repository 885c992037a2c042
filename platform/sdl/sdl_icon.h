#pragma once

#include "platform/sdl/sdl_handles.h"

namespace grumbol::platform::sdl {

// The program's window icon: a 32x32 fish, drawn here so the program needs no icon file.
// Null when SDL cannot make the surface.
SurfacePtr MakeFishIcon();

}  // namespace grumbol::platform::sdl
