#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <memory>
#include <string>

#include "platform/audio_device.h"
#include "platform/unique_handle.h"

namespace grumbol::platform {

struct ContextDestroyer {
  void operator()(ALCcontext* context) const {
    if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
  }
};
using AlcDevicePtr = UniqueHandle<ALCdevice, alcCloseDevice>;
using AlcContextPtr = std::unique_ptr<ALCcontext, ContextDestroyer>;
// Mixes a loopback device's next frames into memory (alcRenderSamplesSOFT).
using RenderSamples = void (*)(ALCdevice* device, ALCvoid* samples, ALCsizei frames);

// The device and its context, owned together: the context goes first.
class OpenAlContext {
 public:
  OpenAlContext(AlcDevicePtr device, AlcContextPtr context, RenderSamples render)
      : device_(std::move(device)), context_(std::move(context)), render_(render) {
    MakeCurrent();
  }

  // Every AL call works on the current context; more than one device may be open (tests).
  void MakeCurrent() const {
    if (alcGetCurrentContext() != context_.get()) alcMakeContextCurrent(context_.get());
  }
  ALCdevice* device() const { return device_.get(); }
  RenderSamples render() const { return render_; }

 private:
  AlcDevicePtr device_;
  AlcContextPtr context_;
  RenderSamples render_;  // null unless a loopback device
};

// The device with a context on it; null when either failed, with why in `problem` (a line for
// the log).
std::shared_ptr<OpenAlContext> MakeContext(AlcDevicePtr device, const ALCint* attributes,
                                           RenderSamples render, std::string& problem);

// What an OpenAL offers beyond its core API differs between OpenAL Soft and the browser's
// OpenAL on Web Audio; each build defines these once for its own.

// The AL format of the samples; AL_NONE when this OpenAL cannot take them.
ALenum AlFormat(const SampleData& samples);
// Hands the block size of ADPCM samples over before their data.
void SetBlockAlignment(ALuint buffer, int frames_per_block);
// Plays a source's channels straight to the speakers, unmixed, where the OpenAL can.
void PlayChannelsDirect(ALuint source);

}  // namespace grumbol::platform
