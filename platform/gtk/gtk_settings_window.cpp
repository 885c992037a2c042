#include "platform/gtk/gtk_settings_window.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/motion_scale.h"

namespace grumbol::platform {

namespace {

constexpr const char* kTitle = "Grumbol-Einstellungen";
constexpr int kFieldWidth = 400, kFieldHeight = 150;

// The window's parts, and the try field's cross-hair, while the window runs.
struct SettingsState {
  GtkWidget* speed = nullptr;
  GtkWidget* desktop_motion = nullptr;
  GtkWidget* full_screen = nullptr;
  GtkWidget* problem = nullptr;
  const std::function<bool(const PlayerChoices&)>* save = nullptr;
  bool finished = false;
  // The cross-hair of the try field moves with the pointer at the chosen speed, from where it
  // is: the pointer's motion since its last place over the field.
  int cross_x = kFieldWidth / 2, cross_y = kFieldHeight / 2;
  bool pointer_known = false;
  int pointer_x = 0, pointer_y = 0;
  MotionScale scale_x, scale_y;
};

SettingsState& StateOf(gpointer data) { return *static_cast<SettingsState*>(data); }

int Speed(const SettingsState& state) {
  return static_cast<int>(std::lround(gtk_range_get_value(GTK_RANGE(state.speed))));
}

gchar* FormatPercent(GtkScale*, gdouble value, gpointer) {
  return g_strdup_printf("%.0f %%", value);
}

void OnSpeedChanged(GtkRange*, gpointer data) {
  SettingsState& state = StateOf(data);
  state.scale_x = state.scale_y = MotionScale(Speed(state));
}

gboolean OnFieldMotion(GtkWidget* field, GdkEventMotion* event, gpointer data) {
  SettingsState& state = StateOf(data);
  const int x = static_cast<int>(std::floor(event->x));
  const int y = static_cast<int>(std::floor(event->y));
  if (state.pointer_known) {
    state.cross_x = std::clamp(state.cross_x + state.scale_x.Scale(x - state.pointer_x), 0,
                               gtk_widget_get_allocated_width(field) - 1);
    state.cross_y = std::clamp(state.cross_y + state.scale_y.Scale(y - state.pointer_y), 0,
                               gtk_widget_get_allocated_height(field) - 1);
    gtk_widget_queue_draw(field);
  }
  state.pointer_known = true;
  state.pointer_x = x;
  state.pointer_y = y;
  return TRUE;
}

// The pointer's place as it comes over the field: motions merged on a busy desktop still
// count from there.
gboolean OnFieldCrossed(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  SettingsState& state = StateOf(data);
  state.pointer_known = event->type == GDK_ENTER_NOTIFY;
  state.pointer_x = static_cast<int>(std::floor(event->x));
  state.pointer_y = static_cast<int>(std::floor(event->y));
  return FALSE;
}

// The sea's blue with the game's red cross-hair.
gboolean OnFieldDraw(GtkWidget*, cairo_t* cairo, gpointer data) {
  const SettingsState& state = StateOf(data);
  cairo_set_source_rgb(cairo, 0.05, 0.35, 0.65);
  cairo_paint(cairo);
  const double x = state.cross_x + 0.5, y = state.cross_y + 0.5;
  cairo_set_source_rgb(cairo, 0.9, 0.1, 0.1);
  cairo_set_line_width(cairo, 2);
  cairo_arc(cairo, x, y, 9, 0, 2 * M_PI);
  cairo_stroke(cairo);
  for (const int side : {-1, 1}) {
    cairo_move_to(cairo, x + side * 4, y);
    cairo_line_to(cairo, x + side * 14, y);
    cairo_move_to(cairo, x, y + side * 4);
    cairo_line_to(cairo, x, y + side * 14);
  }
  cairo_stroke(cairo);
  return FALSE;
}

// Over the field only the cross-hair shows where the mouse is.
void HidePointer(GtkWidget* field, gpointer) {
  GdkCursor* none = gdk_cursor_new_from_name(gtk_widget_get_display(field), "none");
  gdk_window_set_cursor(gtk_widget_get_window(field), none);
  if (none != nullptr) g_object_unref(none);
}

void OnSave(GtkButton*, gpointer data) {
  SettingsState& state = StateOf(data);
  const PlayerChoices choices{
      .mouse_speed = Speed(state),
      .desktop_motion = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(state.desktop_motion)) != 0,
      .full_screen = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(state.full_screen)) != 0};
  if ((*state.save)(choices)) {
    state.finished = true;
    return;
  }
  gtk_widget_show(state.problem);
}

void OnCancel(GtkButton*, gpointer data) { StateOf(data).finished = true; }

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  StateOf(data).finished = true;
  return TRUE;
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  if (event->keyval != GDK_KEY_Escape) return FALSE;
  StateOf(data).finished = true;
  return TRUE;
}

GtkWidget* Heading(const char* markup, GtkWidget* mnemonic_widget = nullptr) {
  GtkWidget* label = gtk_label_new(nullptr);
  if (mnemonic_widget != nullptr) {
    gtk_label_set_markup_with_mnemonic(GTK_LABEL(label), markup);
    gtk_label_set_mnemonic_widget(GTK_LABEL(label), mnemonic_widget);
  } else {
    gtk_label_set_markup(GTK_LABEL(label), markup);
  }
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_widget_set_margin_top(label, 8);
  return label;
}

// Two radio buttons, the second chosen when `second`.
std::pair<GtkWidget*, GtkWidget*> Choice(GtkBox* box, const char* first_text,
                                         const char* second_text, bool second) {
  GtkWidget* first = gtk_radio_button_new_with_mnemonic(nullptr, first_text);
  GtkWidget* other =
      gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(first), second_text);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(second ? other : first), TRUE);
  gtk_box_pack_start(box, first, FALSE, FALSE, 0);
  gtk_box_pack_start(box, other, FALSE, FALSE, 0);
  return {first, other};
}

}  // namespace

void RunSettingsWindow(const PlayerChoices& choices, int min_speed, int max_speed,
                       const std::function<bool(const PlayerChoices&)>& save) {
  SettingsState state;
  state.save = &save;
  state.scale_x = state.scale_y = MotionScale(choices.mouse_speed);

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), kTitle);
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  GtkBox* box = GTK_BOX(gtk_box_new(GTK_ORIENTATION_VERTICAL, 4));
  gtk_container_set_border_width(GTK_CONTAINER(box), 16);
  gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(box));

  state.speed = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, min_speed, max_speed, 5);
  gtk_range_set_round_digits(GTK_RANGE(state.speed), 0);
  gtk_range_set_value(GTK_RANGE(state.speed), choices.mouse_speed);
  gtk_scale_add_mark(GTK_SCALE(state.speed), 100, GTK_POS_BOTTOM, nullptr);
  gtk_box_pack_start(box, Heading("<b>_Mausgeschwindigkeit</b>", state.speed), FALSE, FALSE, 0);
  gtk_box_pack_start(box, state.speed, FALSE, FALSE, 0);
  GtkWidget* hint = gtk_label_new(
      "Zum Ausprobieren die Maus \xc3\xbc"
      "ber das Feld bewegen:");
  gtk_label_set_xalign(GTK_LABEL(hint), 0.0f);
  gtk_box_pack_start(box, hint, FALSE, FALSE, 0);
  GtkWidget* field = gtk_drawing_area_new();
  gtk_widget_set_size_request(field, kFieldWidth, kFieldHeight);
  gtk_widget_add_events(field,
                        GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK);
  gtk_box_pack_start(box, field, FALSE, FALSE, 0);

  gtk_box_pack_start(box, Heading("<b>Mausbewegung</b>"), FALSE, FALSE, 0);
  state.desktop_motion =
      Choice(box, "Die _rohen Z\xc3\xa4hlschritte der Maus",
             "Wie der _Zeiger des Desktops, mit seiner Beschleunigung", choices.desktop_motion)
          .second;
  gtk_box_pack_start(box, Heading("<b>Anzeige</b>"), FALSE, FALSE, 0);
  state.full_screen = Choice(box, "_Vollbild", "_Fenster", !choices.full_screen).first;

  state.problem = gtk_label_new("Die Einstellungen lassen sich nicht speichern.");
  gtk_widget_set_no_show_all(state.problem, TRUE);
  gtk_box_pack_start(box, state.problem, FALSE, FALSE, 0);
  GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
  gtk_box_set_spacing(GTK_BOX(buttons), 8);
  gtk_widget_set_margin_top(buttons, 12);
  GtkWidget* cancel = gtk_button_new_with_mnemonic("_Abbrechen");
  GtkWidget* keep = gtk_button_new_with_mnemonic("_Speichern");
  gtk_container_add(GTK_CONTAINER(buttons), cancel);
  gtk_container_add(GTK_CONTAINER(buttons), keep);
  gtk_box_pack_start(box, buttons, FALSE, FALSE, 0);

  g_signal_connect(state.speed, "format-value", G_CALLBACK(FormatPercent), nullptr);
  g_signal_connect(state.speed, "value-changed", G_CALLBACK(OnSpeedChanged), &state);
  g_signal_connect(field, "draw", G_CALLBACK(OnFieldDraw), &state);
  g_signal_connect(field, "motion-notify-event", G_CALLBACK(OnFieldMotion), &state);
  g_signal_connect(field, "enter-notify-event", G_CALLBACK(OnFieldCrossed), &state);
  g_signal_connect(field, "leave-notify-event", G_CALLBACK(OnFieldCrossed), &state);
  g_signal_connect(field, "realize", G_CALLBACK(HidePointer), nullptr);
  g_signal_connect(keep, "clicked", G_CALLBACK(OnSave), &state);
  g_signal_connect(cancel, "clicked", G_CALLBACK(OnCancel), &state);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), &state);
  g_signal_connect(window, "key-press-event", G_CALLBACK(OnKey), &state);

  gtk_widget_show_all(window);
  gtk_widget_grab_focus(state.speed);
  while (!state.finished) gtk_main_iteration();
  gtk_widget_destroy(window);
  while (gtk_events_pending()) gtk_main_iteration();
}

}  // namespace grumbol::platform
