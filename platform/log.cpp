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

bool DetailsWanted() {
  const char* wanted = std::getenv("GRUMBOL_LOG");
  return wanted != nullptr && *wanted != '\0' && std::string_view(wanted) != "0";
}

}  // namespace

void LogNotice(std::string_view line) { Say(line); }

void LogDetail(std::string_view line) {
  if (DetailsWanted()) Say(line);
}

}  // namespace grumbol::platform
