#include "platform/web/web_dialogs.h"

#include <emscripten.h>

#include <cstdlib>
#include <memory>

#include "platform/unique_handle.h"
#include "platform/web/web_page.h"

namespace grumbol::platform {

namespace {

// Shows a modal <dialog> headed `title` with `text`, a text field holding `entry` when that is
// not null, and an OK button. Resolves when it closes: the field's text (empty without a
// field) when confirmed, null when cancelled with Escape. The text is the caller's to free.
// clang-format off
EM_ASYNC_JS(char*, RunDialog, (const char* title, const char* text, const char* entry), {
  if (document.pointerLockElement) document.exitPointerLock();
  const dialog = document.createElement('dialog');
  dialog.className = 'game-dialog';
  const form = document.createElement('form');
  form.method = 'dialog';
  const heading = document.createElement('h2');
  heading.textContent = UTF8ToString(title);
  const label = document.createElement('label');
  label.textContent = UTF8ToString(text);
  form.append(heading, label);
  let field = null;
  if (entry) {
    field = document.createElement('input');
    field.type = 'text';
    field.value = UTF8ToString(entry);
    field.autocomplete = 'off';
    field.spellcheck = false;
    label.append(field);
  }
  const ok = document.createElement('button');
  ok.value = 'ok';
  ok.textContent = 'OK';
  form.append(ok);
  dialog.append(form);
  document.body.append(dialog);
  const answer = await new Promise((resolve) => {
    dialog.addEventListener(
        'close',
        () => { resolve(dialog.returnValue === 'ok' ? (field ? field.value : "") : null); });
    dialog.showModal();
    if (field) {
      field.focus();
      field.setSelectionRange(field.value.length, field.value.length);
    } else {
      ok.focus();
    }
  });
  dialog.remove();
  if (answer === null) return 0;
  const size = lengthBytesUTF8(answer) + 1;
  const copy = _malloc(size);
  stringToUTF8(answer, copy, size);
  return copy;
});
// clang-format on

using DialogAnswer = UniqueHandle<char, std::free>;

}  // namespace

int WebDialogs::ShowMessageBox(const std::string& title, const std::string& text, int) {
  TellPage("dialog");
  const DialogAnswer answer(RunDialog(title.c_str(), text.c_str(), nullptr));
  TellPage("dialog closed");
  return answer ? 1 : 0;
}

std::string WebDialogs::AskForText(const std::string& title, const std::string& prompt,
                                   const std::string& default_text) {
  TellPage("dialog");
  const DialogAnswer answer(RunDialog(title.c_str(), prompt.c_str(), default_text.c_str()));
  TellPage("dialog closed");
  return answer ? std::string(answer.get()) : std::string();
}

}  // namespace grumbol::platform
