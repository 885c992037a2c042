#include "platform/web/web_page.h"

#include <emscripten.h>

#include <string>

namespace grumbol::platform {

namespace {

// clang-format off
EM_JS(void, SetPageState, (const char* state),
      { document.body.dataset.game = UTF8ToString(state); });
// clang-format on

}  // namespace

void TellPage(std::string_view state) { SetPageState(std::string(state).c_str()); }

}  // namespace grumbol::platform
