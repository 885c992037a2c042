#pragma once

#include <SDL2/SDL.h>

#include <memory>

namespace grumbol::platform::sdl {

// One owner per SDL object: these release it when they go.
struct WindowDeleter {
  void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct RendererDeleter {
  void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
struct TextureDeleter {
  void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};
struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

using WindowPtr = std::unique_ptr<SDL_Window, WindowDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, RendererDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, TextureDeleter>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

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

  // True when the video driver shows things to a person: SDL falls back to the off-screen
  // and dummy drivers when there is no display, and those count as "no display" for us.
  bool HasUsableDisplay() const;

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
