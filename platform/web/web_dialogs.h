#pragma once

#include "platform/dialogs.h"

namespace grumbol::platform {

// The message box and the text entry as HTML <dialog> elements over the page, shown modal
// and awaited: the game waits while the browser runs on. The title heads the box; Enter or OK
// confirm, Escape cancels.
class WebDialogs final : public Dialogs {
 public:
  bool Available() override { return true; }
  int ShowMessageBox(const std::string& title, const std::string& text, int flags) override;
  std::string AskForText(const std::string& title, const std::string& prompt,
                         const std::string& default_text) override;
};

}  // namespace grumbol::platform
