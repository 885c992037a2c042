// What the browser's OpenAL (emscripten's, on Web Audio) offers beyond the core API: float
// samples, and nothing of OpenAL Soft's extensions.

#include "platform/log.h"
#include "platform/openal/openal_audio.h"
#include "platform/openal/openal_context.h"

namespace grumbol::platform {

namespace {

// AL_EXT_float32's formats, which the browser's OpenAL takes without declaring them.
constexpr ALenum kMonoFloat32 = 0x10010;
constexpr ALenum kStereoFloat32 = 0x10011;

}  // namespace

ALenum AlFormat(const SampleData& samples) {
  const bool stereo = samples.channels == 2;
  switch (samples.encoding) {
    case SampleEncoding::kUnsigned8: return stereo ? AL_FORMAT_STEREO8 : AL_FORMAT_MONO8;
    case SampleEncoding::kSigned16: return stereo ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    case SampleEncoding::kFloat32: return stereo ? kStereoFloat32 : kMonoFloat32;
    case SampleEncoding::kMulaw:
    case SampleEncoding::kAlaw:
    case SampleEncoding::kMsAdpcm: return AL_NONE;
  }
  return AL_NONE;
}

// Never reached: the browser takes no ADPCM (AlFormat refuses it first).
void SetBlockAlignment(ALuint, int) {}

// A relative source at the origin already plays its channels unpanned on Web Audio.
void PlayChannelsDirect(ALuint) {}

std::unique_ptr<OpenAlDevice> OpenAlDevice::OpenLoopback(int) {
  LogDetail("sound: the browser's OpenAL has no loopback device");
  return nullptr;
}

}  // namespace grumbol::platform
