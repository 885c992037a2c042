#pragma once

#include <string_view>

namespace grumbol::platform {

// One line on standard error, after "grumbol: ". A notice is for the player and always said
// (no sound output, no display); a detail is for a bug report and said only when the
// environment variable GRUMBOL_LOG is set to something other than "" or "0": every backend
// says there what it chose and why it failed.
void LogNotice(std::string_view line);
void LogDetail(std::string_view line);

}  // namespace grumbol::platform
