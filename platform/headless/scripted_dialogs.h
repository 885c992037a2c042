#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace grumbol::platform {

// Dialogs answered by a script: each AskForText takes the next answer (the empty text when
// the script has run out); every call is recorded.
class ScriptedDialogs final : public Dialogs {
 public:
  struct Shown {
    std::string kind;  // "message" or "ask"
    std::string title;
    std::string text;  // the message, or the prompt
  };

  explicit ScriptedDialogs(std::vector<std::string> answers = {}, bool available = true)
      : answers_(answers.begin(), answers.end()), available_(available) {}

  bool Available() override { return available_; }
  int ShowMessageBox(const std::string& title, const std::string& text, int) override {
    shown_.push_back({"message", title, text});
    return 1;
  }
  std::string AskForText(const std::string& title, const std::string& prompt,
                         const std::string&) override {
    shown_.push_back({"ask", title, prompt});
    if (answers_.empty()) return "";
    std::string answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  const std::vector<Shown>& shown() const { return shown_; }
  // Whether there is a display to show dialogs on.
  void SetAvailable(bool available) { available_ = available; }

 private:
  std::deque<std::string> answers_;
  bool available_;
  std::vector<Shown> shown_;
};

}  // namespace grumbol::platform
