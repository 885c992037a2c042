#include "runtime/dialogs.h"

namespace grumbol {

std::string MessageDialogs::AskForText(const std::string& title, const std::string& prompt,
                                       const std::string& default_text) {
  std::string text = dialogs_.AskForText(title, prompt, default_text);
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace grumbol
