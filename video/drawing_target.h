#pragma once

#include <functional>

#include "platform/pixel_layout.h"
#include "platform/surface.h"

namespace grumbol {

// What text drawing draws on: the back buffer while the screen lends it out. `release`
// gives it back (the screen then stops lending it until asked again).
struct DrawingTarget {
  Surface* surface = nullptr;
  PixelLayout layout = PixelLayout::kNone;
  std::function<void()> release;
};

}  // namespace grumbol
