#pragma once

#include <string>

namespace grumbol::platform {

// Brings GTK up for this process; whether it could (it cannot without a display). GTK goes to
// the window system `display_server` names ("x11", "wayland"; any other leaves GTK to choose),
// unless the player chose with GDK_BACKEND. `app_id`, when given, is the windows' Wayland app
// id and X11 class: the desktop shows them as the game's, with its icon.
bool StartGtk(const std::string& display_server, const std::string& app_id);

}  // namespace grumbol::platform
