#pragma once

#include <string>

namespace grumbol::platform {

// The modal dialogs the program shows outside its full screen.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Whether dialogs can be shown at all (false with no display).
  virtual bool Available() = 0;

  // A box with the text and one OK button; returns when the player has closed it. The
  // result is the identifier of the closing button (1 for OK).
  virtual int ShowMessageBox(const std::string& title, const std::string& text, int flags) = 0;

  // A small window with the prompt, a one-line input field holding `default_text` and an
  // OK button. Enter or OK give the field's text as typed; Escape gives the empty text.
  virtual std::string AskForText(const std::string& title, const std::string& prompt,
                                 const std::string& default_text) = 0;
};

}  // namespace grumbol::platform
