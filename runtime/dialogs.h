#pragma once

#include <string>

#include "platform/dialogs.h"

namespace grumbol {

// The program's message box and text-entry dialog.
class MessageDialogs {
 public:
  explicit MessageDialogs(platform::Dialogs& dialogs) : dialogs_(dialogs) {}

  // Whether dialogs can be shown (there is a display).
  bool Available() { return dialogs_.Available(); }

  int ShowMessageBox(const std::string& title, const std::string& text, int flags = 0) {
    return dialogs_.ShowMessageBox(title, text, flags);
  }

  // The text the player confirmed, exactly as typed, or the empty text when the dialog was
  // cancelled. Line breaks never come back: each becomes a blank, so one name stays one
  // line of the record file.
  std::string AskForText(const std::string& title, const std::string& prompt,
                         const std::string& default_text);

 private:
  platform::Dialogs& dialogs_;
};

}  // namespace grumbol
