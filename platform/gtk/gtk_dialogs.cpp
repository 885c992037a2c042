#include "platform/gtk/gtk_dialogs.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <utility>

#include "platform/gtk/gtk_start.h"

namespace grumbol::platform {

namespace {

// The screen's area, where dialogs are centred.
GdkRectangle ScreenArea() {
  GdkRectangle area{0, 0, 1024, 768};
  if (GdkMonitor* monitor = gdk_display_get_primary_monitor(gdk_display_get_default())) {
    gdk_monitor_get_geometry(monitor, &area);
  } else if (GdkMonitor* first = gdk_display_get_monitor(gdk_display_get_default(), 0)) {
    gdk_monitor_get_geometry(first, &area);
  }
  return area;
}

// Once shown on X11: centred with the frame a window manager put around it (known only now),
// and given the keyboard focus, which with no window manager nobody else does. Wayland
// compositors place and focus windows themselves, and some leave a window that presents
// itself from its own map event unseen.
gboolean CentreAndTakeFocus(GtkWidget* widget, GdkEvent*, gpointer) {
  if (GdkWindow* window = gtk_widget_get_window(widget)) {
    GdkRectangle frame{};
    gdk_window_get_frame_extents(window, &frame);
    const GdkRectangle area = ScreenArea();
    // With the default gravity a move places the frame's top-left corner.
    gtk_window_move(GTK_WINDOW(widget), area.x + (area.width - frame.width) / 2,
                    area.y + (area.height - frame.height) / 2);
    gtk_window_present(GTK_WINDOW(widget));
    gdk_window_focus(window, GDK_CURRENT_TIME);
  }
  return FALSE;
}

// The state of one text-entry dialog while it runs.
struct AskState {
  GtkWidget* window = nullptr;
  GtkWidget* entry = nullptr;
  bool finished = false;
  std::string result;
};

void Confirm(AskState& state) {
  state.result = gtk_entry_get_text(GTK_ENTRY(state.entry));
  state.finished = true;
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  auto& state = *static_cast<AskState*>(data);
  if (event->keyval == GDK_KEY_Escape) {
    state.finished = true;  // cancelled: the result stays empty
    return TRUE;
  }
  if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter) {
    Confirm(state);
    return TRUE;
  }
  return FALSE;
}

void OnOk(GtkButton*, gpointer data) { Confirm(*static_cast<AskState*>(data)); }

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  static_cast<AskState*>(data)->finished = true;  // a close request cancels
  return TRUE;
}

void CentreAndFocusOnX11(GtkWidget* window) {
  if (GDK_IS_X11_DISPLAY(gtk_widget_get_display(window)))
    g_signal_connect(window, "map-event", G_CALLBACK(CentreAndTakeFocus), nullptr);
}

void Place(GtkFixed* fixed, GtkWidget* widget, int x, int y, int width, int height) {
  gtk_widget_set_size_request(widget, width, height);
  gtk_fixed_put(fixed, widget, x, y);
}

gboolean AfterFirstDraw(GtkWidget* widget, cairo_t*, gpointer data) {
  auto& first_drawn = *static_cast<std::function<void()>*>(data);
  g_signal_handlers_disconnect_by_func(widget, reinterpret_cast<gpointer>(AfterFirstDraw), data);
  if (first_drawn) std::exchange(first_drawn, nullptr)();
  return FALSE;
}

// Calls `first_drawn`, if still set, once `window` has been drawn, and empties it.
void TellWhenDrawn(GtkWidget* window, std::function<void()>& first_drawn) {
  if (first_drawn) g_signal_connect_after(window, "draw", G_CALLBACK(AfterFirstDraw), &first_drawn);
}

}  // namespace

bool GtkDialogs::Available() {
  if (state_ == State::kUntried) {
    state_ = StartGtk(display_server_ ? display_server_() : "", app_id_) ? State::kReady
                                                                         : State::kUnavailable;
  }
  return state_ == State::kReady;
}

int GtkDialogs::ShowMessageBox(const std::string& title, const std::string& text, int) {
  if (!Available()) return 0;
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                          GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), title.c_str());
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
  CentreAndFocusOnX11(box);
  TellWhenDrawn(box, first_drawn_);
  const int response = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  while (gtk_events_pending()) gtk_main_iteration();
  return response == GTK_RESPONSE_OK ? 1 : 0;
}

std::string GtkDialogs::AskForText(const std::string& title, const std::string& prompt,
                                   const std::string& default_text) {
  if (!Available()) return "";
  AskState state;
  state.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* window = GTK_WINDOW(state.window);
  gtk_window_set_title(window, title.c_str());
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_deletable(window, FALSE);  // no close box
  gtk_window_set_keep_above(window, TRUE);
  gtk_window_set_default_size(window, kAskWidth, kAskHeight);
  gtk_widget_set_size_request(state.window, kAskWidth, kAskHeight);

  // Centred on the screen, as the outer rectangle's top-left corner.
  const GdkRectangle area = ScreenArea();
  gtk_window_move(window, area.x + area.width / 2 - kAskWidth / 2,
                  area.y + area.height / 2 - kAskHeight / 2);

  GtkWidget* fixed = gtk_fixed_new();
  gtk_container_add(GTK_CONTAINER(state.window), fixed);
  GtkWidget* label = gtk_label_new(prompt.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  Place(GTK_FIXED(fixed), label, 10, 10, 280, 22);
  state.entry = gtk_entry_new();
  // A pasted line break would split the record line: keep only the first line.
  g_object_set(state.entry, "truncate-multiline", TRUE, nullptr);
  gtk_entry_set_text(GTK_ENTRY(state.entry), default_text.c_str());
  Place(GTK_FIXED(fixed), state.entry, 10, 32, 275, 21);
  GtkWidget* ok = gtk_button_new_with_label("OK");
  gtk_widget_set_can_default(ok, TRUE);
  Place(GTK_FIXED(fixed), ok, 110, 67, 80, 25);

  g_signal_connect(ok, "clicked", G_CALLBACK(OnOk), &state);
  g_signal_connect(state.window, "key-press-event", G_CALLBACK(OnKey), &state);
  g_signal_connect(state.window, "delete-event", G_CALLBACK(OnDelete), &state);
  CentreAndFocusOnX11(state.window);
  TellWhenDrawn(state.window, first_drawn_);

  gtk_widget_show_all(state.window);
  gtk_widget_grab_default(ok);
  gtk_widget_grab_focus(state.entry);
  gtk_editable_set_position(GTK_EDITABLE(state.entry), -1);  // caret after the default text

  while (!state.finished) gtk_main_iteration();
  gtk_widget_destroy(state.window);
  while (gtk_events_pending()) gtk_main_iteration();
  return state.result;
}

}  // namespace grumbol::platform
