#include "platform/web/web_page.h"

#include <emscripten.h>

#include <string>

namespace grumbol::platform {

namespace {

// clang-format off
EM_JS(void, SetPageState, (const char* state),
      { document.body.dataset.game = UTF8ToString(state); });
// clang-format on

// clang-format off
EM_JS(void, AddDownloadLink, (const char* path, const char* name), {
  let bytes;
  try {
    bytes = FS.readFile(UTF8ToString(path));
  } catch (error) {
    return;
  }
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], {type : 'application/octet-stream'}));
  link.download = UTF8ToString(name);
  link.textContent = 'Aufzeichnung (' + link.download + ')';
  document.getElementById('bar').append(link);
});
// clang-format on

}  // namespace

void TellPage(std::string_view state) { SetPageState(std::string(state).c_str()); }

void OfferDownload(std::string_view path, std::string_view name) {
  AddDownloadLink(std::string(path).c_str(), std::string(name).c_str());
}

}  // namespace grumbol::platform
