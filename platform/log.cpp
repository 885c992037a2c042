#include "platform/log.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace grumbol::platform {

namespace {

void Say(std::string_view line) {
  // One write for the whole line, so that lines from other threads (GStreamer's) stay whole.
  std::string text = "grumbol: ";
  text.append(line);
  text += '\n';
  std::fwrite(text.data(), 1, text.size(), stderr);
}

// Read once: lines come from other threads too, while libraries may change the environment.
bool DetailsWanted() {
  static const bool wanted = [] {
    const char* value = std::getenv("GRUMBOL_LOG");
    return value != nullptr && *value != '\0' && std::string_view(value) != "0";
  }();
  return wanted;
}

}  // namespace

void LogNotice(std::string_view line) { Say(line); }

void LogDetail(std::string_view line) {
  if (DetailsWanted()) Say(line);
}

}  // namespace grumbol::platform
