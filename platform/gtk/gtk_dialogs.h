#pragma once

#include <functional>
#include <string>
#include <utility>

#include "platform/dialogs.h"

namespace grumbol::platform {

// The dialogs on GTK3. GTK is brought up at the first use; with no display the dialogs are
// not available and every call returns at once (0, or the empty text).
class GtkDialogs final : public Dialogs {
 public:
  // `display_server` names the window system the game's own window is on ("x11", "wayland"),
  // asked once as GTK starts: GTK goes there too, so that the dialogs stack above the game's
  // window and the keyboard focus moves between them, unless the player chose with GDK_BACKEND.
  // `app_id`, when given, is the dialogs' Wayland app id and X11 class, as the game window's
  // is: the desktop shows them as the game's, with its icon.
  // `first_drawn`, when given, is called once the first dialog has been drawn: work that can
  // wait for it starts then, and the player sees the box sooner.
  GtkDialogs() = default;
  explicit GtkDialogs(std::function<std::string()> display_server, std::string app_id = "",
                      std::function<void()> first_drawn = {})
      : display_server_(std::move(display_server)),
        app_id_(std::move(app_id)),
        first_drawn_(std::move(first_drawn)) {}

  // Width and height of the text-entry window and of its parts, in pixels.
  static constexpr int kAskWidth = 300;
  static constexpr int kAskHeight = 130;

  bool Available() override;
  int ShowMessageBox(const std::string& title, const std::string& text, int flags) override;
  std::string AskForText(const std::string& title, const std::string& prompt,
                         const std::string& default_text) override;

 private:
  enum class State { kUntried, kReady, kUnavailable };
  State state_ = State::kUntried;
  std::function<std::string()> display_server_;
  std::string app_id_;
  std::function<void()> first_drawn_;  // emptied once called
};

}  // namespace grumbol::platform
