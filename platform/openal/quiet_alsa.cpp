#include <dlfcn.h>

#include "platform/openal/quiet_alsa.h"

namespace grumbol::platform {

namespace {

using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int error,
                                  const char* format, ...);
using SetAlsaErrorHandler = int (*)(AlsaErrorHandler handler);

// ALSA's own account of a missing card is a dozen lines about its configuration; OpenAL
// Soft's failure to open a device says what matters.
extern "C" void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

SetAlsaErrorHandler FindSetter(void* library) {
  return library != nullptr
             ? reinterpret_cast<SetAlsaErrorHandler>(dlsym(library, "snd_lib_error_set_handler"))
             : nullptr;
}

}  // namespace

QuietAlsa::QuietAlsa() : library_(dlopen("libasound.so.2", RTLD_LAZY)) {
  if (SetAlsaErrorHandler set = FindSetter(library_)) set(&IgnoreAlsaError);
}

QuietAlsa::~QuietAlsa() {
  if (SetAlsaErrorHandler set = FindSetter(library_)) set(nullptr);
  if (library_ != nullptr) dlclose(library_);
}

}  // namespace grumbol::platform
