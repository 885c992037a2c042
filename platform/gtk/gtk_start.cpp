#include "platform/gtk/gtk_start.h"

#include <gtk/gtk.h>

#include <cstdlib>

#include "platform/log.h"

namespace grumbol::platform {

bool StartGtk(const std::string& display_server, const std::string& app_id) {
  // The program keeps the C locale: texts are bytes, and number formats must not change.
  gtk_disable_setlocale();
  if (std::getenv("GDK_BACKEND") == nullptr &&
      (display_server == "x11" || display_server == "wayland"))
    gdk_set_allowed_backends(display_server.c_str());
  if (!app_id.empty()) g_set_prgname(app_id.c_str());
  const bool started = gtk_init_check(nullptr, nullptr);
  // Set after GTK's start, which makes the class the name with a capital first letter.
  if (!app_id.empty()) gdk_set_program_class(app_id.c_str());
  // GTK gives no reason; the usual one is that it finds no display.
  if (!started)
    LogDetail("GTK cannot start (no display it can open)");
  else
    LogDetail(std::string("GTK's display ") + G_OBJECT_TYPE_NAME(gdk_display_get_default()));
  return started;
}

}  // namespace grumbol::platform
