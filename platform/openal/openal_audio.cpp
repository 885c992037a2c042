#include "platform/openal/openal_audio.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <dlfcn.h>

#include <climits>
#include <cmath>
#include <string>

#include "platform/log.h"
#include "platform/unique_handle.h"

namespace grumbol::platform {

namespace {

struct ContextDestroyer {
  void operator()(ALCcontext* context) const {
    if (alcGetCurrentContext() == context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
  }
};
using AlcDevicePtr = UniqueHandle<ALCdevice, alcCloseDevice>;
using AlcContextPtr = std::unique_ptr<ALCcontext, ContextDestroyer>;

// True when the AL calls since the last check failed; says so, in OpenAL's own words for the
// error, in the log.
bool AlFailed(const char* what) {
  const ALenum error = alGetError();
  if (error == AL_NO_ERROR) return false;
  const ALchar* text = alGetString(error);
  LogDetail(std::string("sound: ") + what + ": " +
            (text != nullptr ? text : "error " + std::to_string(error)));
  return true;
}
void LogAlcError(const std::string& what, ALCdevice* device) {
  const ALCenum error = alcGetError(device);
  const ALCchar* text = alcGetString(device, error);
  LogDetail("sound: " + what + ": " + (text != nullptr ? text : "error " + std::to_string(error)));
}

}  // namespace

// The device and its context, owned together: the context goes first.
class OpenAlContext {
 public:
  OpenAlContext(AlcDevicePtr device, AlcContextPtr context, LPALCRENDERSAMPLESSOFT render)
      : device_(std::move(device)), context_(std::move(context)), render_(render) {
    MakeCurrent();
    direct_channels_ = alIsExtensionPresent("AL_SOFT_direct_channels") == AL_TRUE;
  }

  // Every AL call works on the current context; more than one device may be open (tests).
  void MakeCurrent() const {
    if (alcGetCurrentContext() != context_.get()) alcMakeContextCurrent(context_.get());
  }
  ALCdevice* device() const { return device_.get(); }
  LPALCRENDERSAMPLESSOFT render() const { return render_; }
  bool direct_channels() const { return direct_channels_; }

 private:
  AlcDevicePtr device_;
  AlcContextPtr context_;
  LPALCRENDERSAMPLESSOFT render_;  // null unless a loopback device
  bool direct_channels_ = false;
};

namespace {

std::shared_ptr<OpenAlContext> MakeContext(AlcDevicePtr device, const ALCint* attributes,
                                           LPALCRENDERSAMPLESSOFT render) {
  if (!device) {
    LogAlcError("OpenAL Soft found no output device", nullptr);
    return nullptr;
  }
  AlcContextPtr context(alcCreateContext(device.get(), attributes));
  if (!context) {
    LogAlcError("no OpenAL context", device.get());
    return nullptr;
  }
  return std::make_shared<OpenAlContext>(std::move(device), std::move(context), render);
}

class OpenAlBuffer final : public AudioBuffer {
 public:
  OpenAlBuffer(std::shared_ptr<OpenAlContext> context, ALuint name)
      : context_(std::move(context)), name_(name) {}
  ~OpenAlBuffer() override {
    context_->MakeCurrent();
    alDeleteBuffers(1, &name_);
  }
  OpenAlBuffer(const OpenAlBuffer&) = delete;
  OpenAlBuffer& operator=(const OpenAlBuffer&) = delete;

  const std::shared_ptr<OpenAlContext>& context() const { return context_; }
  ALuint name() const { return name_; }

 private:
  std::shared_ptr<OpenAlContext> context_;
  ALuint name_;
};

class OpenAlVoice final : public AudioVoice {
 public:
  OpenAlVoice(std::shared_ptr<OpenAlBuffer> buffer, ALuint source)
      : buffer_(std::move(buffer)), source_(source) {}
  ~OpenAlVoice() override {
    MakeCurrent();
    alSourceStop(source_);
    alDeleteSources(1, &source_);
  }
  OpenAlVoice(const OpenAlVoice&) = delete;
  OpenAlVoice& operator=(const OpenAlVoice&) = delete;

  bool Play(bool looping) override {
    MakeCurrent();
    alGetError();
    // A stopped source starts at its new gain at once; a playing one would glide to it.
    alSourceStop(source_);
    alSourceRewind(source_);
    alSourcei(source_, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    alSourcePlay(source_);
    return alGetError() == AL_NO_ERROR;
  }

  void Stop() override {
    MakeCurrent();
    alSourceStop(source_);
    alSourceRewind(source_);
  }

  void SetVolume(std::int32_t hundredths_db) override {
    if (hundredths_db == volume_) return;  // the game sets the volume every frame
    MakeCurrent();
    volume_ = hundredths_db;
    alSourcef(source_, AL_GAIN, static_cast<ALfloat>(std::pow(10.0, hundredths_db / 2000.0)));
  }
  std::int32_t Volume() const override { return volume_; }

  VoiceState State() const override {
    MakeCurrent();
    ALint state = AL_STOPPED;
    ALint looping = AL_FALSE;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    alGetSourcei(source_, AL_LOOPING, &looping);
    if (state != AL_PLAYING) return VoiceState::kStopped;
    return looping ? VoiceState::kPlayingLooped : VoiceState::kPlaying;
  }

  std::int64_t Position() const override {
    MakeCurrent();
    ALint offset = 0;
    alGetSourcei(source_, AL_SAMPLE_OFFSET, &offset);
    return offset;
  }

 private:
  void MakeCurrent() const { buffer_->context()->MakeCurrent(); }

  std::shared_ptr<OpenAlBuffer> buffer_;  // outlives the source that plays it
  ALuint source_;
  std::int32_t volume_ = 0;
};

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

}  // namespace

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

std::unique_ptr<AudioDevice> OpenAlSystem::OpenDefaultDevice() {
  std::unique_ptr<OpenAlDevice> device = OpenAlDevice::OpenDefault();
  if (!device) LogNotice("no sound output; playing silently");
  return device;
}

std::unique_ptr<OpenAlDevice> OpenAlDevice::OpenDefault() {
  auto context = MakeContext(AlcDevicePtr(alcOpenDevice(nullptr)), nullptr, nullptr);
  if (!context) return nullptr;
  const ALCchar* name = alcGetString(context->device(), ALC_DEVICE_SPECIFIER);
  LogDetail(std::string("sound: OpenAL Soft on '") + (name != nullptr ? name : "?") + "'");
  return std::make_unique<OpenAlDevice>(std::move(context));
}

std::unique_ptr<OpenAlDevice> OpenAlDevice::OpenLoopback(int rate) {
  if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE) {
    LogDetail("sound: this OpenAL has no loopback device (ALC_SOFT_loopback)");
    return nullptr;
  }
  auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
      alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  auto render =
      reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
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
  auto context = MakeContext(AlcDevicePtr(open(nullptr)), attributes, render);
  if (!context) return nullptr;
  return std::make_unique<OpenAlDevice>(std::move(context));
}

OpenAlDevice::OpenAlDevice(std::shared_ptr<OpenAlContext> context) : context_(std::move(context)) {}

OpenAlDevice::~OpenAlDevice() = default;

std::shared_ptr<AudioBuffer> OpenAlDevice::CreateBuffer(const SampleData& samples) {
  const ALenum format = AlFormat(samples);
  if (format == AL_NONE) {
    LogDetail("sound: OpenAL takes no samples of encoding " +
              std::to_string(static_cast<int>(samples.encoding)) + " with " +
              std::to_string(samples.channels) + " channels");
    return nullptr;
  }
  if (samples.rate <= 0 || samples.bytes.empty() ||
      samples.bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    LogDetail("sound: no samples, no rate or more than OpenAL takes in one buffer");
    return nullptr;
  }
  context_->MakeCurrent();
  alGetError();
  ALuint name = 0;
  alGenBuffers(1, &name);
  if (AlFailed("no OpenAL buffer")) return nullptr;
  auto buffer = std::make_shared<OpenAlBuffer>(context_, name);
  if (samples.encoding == SampleEncoding::kMsAdpcm) {
    alBufferi(name, AL_UNPACK_BLOCK_ALIGNMENT_SOFT, samples.frames_per_block);
  }
  alBufferData(name, format, samples.bytes.data(), static_cast<ALsizei>(samples.bytes.size()),
               samples.rate);
  if (AlFailed("OpenAL refused the samples")) return nullptr;
  return buffer;
}

std::unique_ptr<AudioVoice> OpenAlDevice::CreateVoice(std::shared_ptr<AudioBuffer> buffer) {
  auto al_buffer = std::dynamic_pointer_cast<OpenAlBuffer>(std::move(buffer));
  if (!al_buffer || al_buffer->context() != context_) {
    LogDetail("sound: a voice asked for a buffer of another device");
    return nullptr;
  }
  context_->MakeCurrent();
  alGetError();
  ALuint source = 0;
  alGenSources(1, &source);
  if (AlFailed("no OpenAL source")) return nullptr;
  const ALuint buffer_name = al_buffer->name();
  auto voice = std::make_unique<OpenAlVoice>(std::move(al_buffer), source);
  // Plain playback as a sound card's buffer would do it: channels straight to the speakers,
  // no 3D placement, no distance attenuation.
  alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source, AL_POSITION, 0.0F, 0.0F, 0.0F);
  alSourcef(source, AL_ROLLOFF_FACTOR, 0.0F);
  if (context_->direct_channels()) alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer_name));
  if (AlFailed("OpenAL source not set up")) return nullptr;
  return voice;
}

std::vector<float> OpenAlDevice::Render(int frames) {
  if (context_->render() == nullptr || frames <= 0) return {};
  std::vector<float> samples(static_cast<std::size_t>(frames) * 2);
  context_->render()(context_->device(), samples.data(), frames);
  return samples;
}

int OpenAlDevice::PeriodsPerSecond() const {
  ALCint refresh = 0;
  alcGetIntegerv(context_->device(), ALC_REFRESH, 1, &refresh);
  return refresh;
}

}  // namespace grumbol::platform
