#pragma once

#include <memory>

namespace grumbol::platform {

// The one owner of a C library's object, which `Free` releases when the owner goes:
// UniqueHandle<SDL_Window, SDL_DestroyWindow>.
template <auto Free>
struct FreeWith {
  template <typename T>
  void operator()(T* object) const {
    Free(object);
  }
};

template <typename T, auto Free>
using UniqueHandle = std::unique_ptr<T, FreeWith<Free>>;

}  // namespace grumbol::platform
