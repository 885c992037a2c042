#pragma once

#include <functional>
#include <string>

namespace grumbol::platform {

// What the settings window lets the player choose.
struct PlayerChoices {
  int mouse_speed = 100;        // percent of a picture pixel per mouse count
  bool desktop_motion = false;  // the desktop pointer's motion instead of the mouse's counts
  bool full_screen = true;

  bool operator==(const PlayerChoices&) const = default;
};

// Shows the settings window on GTK3 (started with StartGtk) with `choices`, the mouse speed
// between `min_speed` and `max_speed`, until the player saves or closes it. `save` keeps the
// choices and says whether it could; the window stays open, saying so, when it could not.
void RunSettingsWindow(const PlayerChoices& choices, int min_speed, int max_speed,
                       const std::function<bool(const PlayerChoices&)>& save);

}  // namespace grumbol::platform
