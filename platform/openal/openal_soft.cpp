// What OpenAL Soft offers beyond the core API: more sample formats, direct channels and the
// loopback device the tests render into.

#include <AL/alext.h>

#include "platform/log.h"
#include "platform/openal/openal_audio.h"
#include "platform/openal/openal_context.h"

namespace grumbol::platform {

ALenum AlFormat(const SampleData& samples) {
  const bool stereo = samples.channels == 2;
  switch (samples.encoding) {
    case SampleEncoding::kUnsigned8: return stereo ? AL_FORMAT_STEREO8 : AL_FORMAT_MONO8;
    case SampleEncoding::kSigned16: return stereo ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    case SampleEncoding::kFloat32:
      return stereo ? AL_FORMAT_STEREO_FLOAT32 : AL_FORMAT_MONO_FLOAT32;
    case SampleEncoding::kMulaw:
      return stereo ? AL_FORMAT_STEREO_MULAW_EXT : AL_FORMAT_MONO_MULAW_EXT;
    case SampleEncoding::kAlaw: return stereo ? AL_FORMAT_STEREO_ALAW_EXT : AL_FORMAT_MONO_ALAW_EXT;
    case SampleEncoding::kMsAdpcm:
      return stereo ? AL_FORMAT_STEREO_MSADPCM_SOFT : AL_FORMAT_MONO_MSADPCM_SOFT;
  }
  return AL_NONE;
}

void SetBlockAlignment(ALuint buffer, int frames_per_block) {
  alBufferi(buffer, AL_UNPACK_BLOCK_ALIGNMENT_SOFT, frames_per_block);
}

void PlayChannelsDirect(ALuint source) {
  if (alIsExtensionPresent("AL_SOFT_direct_channels") == AL_TRUE)
    alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
}

std::unique_ptr<OpenAlDevice> OpenAlDevice::OpenLoopback(int rate) {
  if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE) {
    LogDetail("sound: this OpenAL has no loopback device (ALC_SOFT_loopback)");
    return nullptr;
  }
  auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
      alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  auto render = reinterpret_cast<RenderSamples>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (open == nullptr || render == nullptr) {
    LogDetail("sound: this OpenAL lacks the loopback functions");
    return nullptr;
  }
  const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                               ALC_STEREO_SOFT,
                               ALC_FORMAT_TYPE_SOFT,
                               ALC_FLOAT_SOFT,
                               ALC_FREQUENCY,
                               rate,
                               ALC_OUTPUT_LIMITER_SOFT,
                               ALC_FALSE,
                               ALC_HRTF_SOFT,
                               ALC_FALSE,
                               0};
  std::string problem;
  auto context = MakeContext(AlcDevicePtr(open(nullptr)), attributes, render, problem);
  if (!context) {
    LogDetail(problem);
    return nullptr;
  }
  return std::make_unique<OpenAlDevice>(std::move(context));
}

}  // namespace grumbol::platform
