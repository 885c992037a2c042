#include "platform/web/web_storage.h"

#include <emscripten.h>

#include "platform/log.h"

namespace grumbol::platform {

namespace {

// Mounts IndexedDB's copy at `path` and reads it in; 0 when the browser refused (a private
// window may have no IndexedDB).
// clang-format off
EM_ASYNC_JS(int, MountAndLoad, (const char* path), {
  const folder = UTF8ToString(path);
  try {
    FS.mkdirTree(folder);
    FS.mount(IDBFS, {}, folder);
  } catch (error) {
    return 0;
  }
  return await new Promise((resolve) => FS.syncfs(true, (error) => resolve(error ? 0 : 1)));
});
// clang-format on

// clang-format off
EM_ASYNC_JS(int, WriteBack, (), {
  return await new Promise((resolve) => FS.syncfs(false, (error) => resolve(error ? 0 : 1)));
});
// clang-format on

}  // namespace

BrowserFolder::BrowserFolder(std::string path) : path_(std::move(path)) {
  loaded_ = MountAndLoad(path_.c_str()) != 0;
  if (!loaded_) LogNotice("the browser keeps no files here; records last until the page closes");
}

bool BrowserFolder::Save() {
  if (WriteBack() != 0) return true;
  LogNotice("the browser did not keep the record file");
  return false;
}

}  // namespace grumbol::platform
