#pragma once

#include <SDL2/SDL.h>

#include <string>

#include "platform/unique_handle.h"

namespace grumbol::platform::sdl {

// One owner per SDL object.
using WindowPtr = UniqueHandle<SDL_Window, SDL_DestroyWindow>;
using RendererPtr = UniqueHandle<SDL_Renderer, SDL_DestroyRenderer>;
using TexturePtr = UniqueHandle<SDL_Texture, SDL_DestroyTexture>;
using SurfacePtr = UniqueHandle<SDL_Surface, SDL_FreeSurface>;

// One reference on SDL's video subsystem (SDL counts them); released on destruction.
class VideoSubsystemRef {
 public:
  // Takes a reference when SDL_InitSubSystem works.
  VideoSubsystemRef();
  ~VideoSubsystemRef();
  VideoSubsystemRef(VideoSubsystemRef&& other) noexcept : held_(other.held_) {
    other.held_ = false;
  }
  VideoSubsystemRef& operator=(VideoSubsystemRef&&) = delete;
  VideoSubsystemRef(const VideoSubsystemRef&) = delete;
  VideoSubsystemRef& operator=(const VideoSubsystemRef&) = delete;

  // Empty when the video driver shows things to a person; else why not: SDL cannot start, or
  // fell back to its off-screen or dummy driver, which count as "no display" for us.
  std::string Unusable() const;
  bool HasUsableDisplay() const { return Unusable().empty(); }

 private:
  bool held_ = false;
};

// A registered SDL event watch; removed on destruction.
class EventWatch {
 public:
  EventWatch(SDL_EventFilter filter, void* userdata) : filter_(filter), userdata_(userdata) {
    SDL_AddEventWatch(filter_, userdata_);
  }
  ~EventWatch() { SDL_DelEventWatch(filter_, userdata_); }
  EventWatch(const EventWatch&) = delete;
  EventWatch& operator=(const EventWatch&) = delete;

 private:
  SDL_EventFilter filter_;
  void* userdata_;
};

}  // namespace grumbol::platform::sdl
