#include "platform/openal/openal_audio.h"

#include <climits>
#include <cmath>
#include <string>

#include "platform/log.h"
#include "platform/openal/openal_context.h"

namespace grumbol::platform {

namespace {

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

}  // namespace

namespace {

std::string AlcError(const std::string& what, ALCdevice* device) {
  const ALCenum error = alcGetError(device);
  const ALCchar* text = alcGetString(device, error);
  return "sound: " + what + ": " + (text != nullptr ? text : "error " + std::to_string(error));
}

}  // namespace

std::shared_ptr<OpenAlContext> MakeContext(AlcDevicePtr device, const ALCint* attributes,
                                           RenderSamples render, std::string& problem) {
  if (!device) {
    problem = AlcError("OpenAL found no output device", nullptr);
    return nullptr;
  }
  AlcContextPtr context(alcCreateContext(device.get(), attributes));
  if (!context) {
    problem = AlcError("no OpenAL context", device.get());
    return nullptr;
  }
  return std::make_shared<OpenAlContext>(std::move(device), std::move(context), render);
}

namespace {

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

}  // namespace

OpenAlSystem::~OpenAlSystem() = default;

void OpenAlSystem::OpenDefaultAhead() {
  if (!ahead_.valid()) ahead_ = std::async(std::launch::async, OpenAlDevice::OpenDefault);
}

std::unique_ptr<AudioDevice> OpenAlSystem::OpenDefaultDevice() {
  OpenAlDevice::Opened opened = ahead_.valid() ? ahead_.get() : OpenAlDevice::OpenDefault();
  LogDetail(opened.says);
  if (!opened.device) LogNotice("no sound output; playing silently");
  return std::move(opened.device);
}

OpenAlDevice::Opened OpenAlDevice::OpenDefault() {
  Opened opened;
  auto context = MakeContext(AlcDevicePtr(alcOpenDevice(nullptr)), nullptr, nullptr, opened.says);
  if (!context) return opened;
  const ALCchar* name = alcGetString(context->device(), ALC_DEVICE_SPECIFIER);
  opened.says = std::string("sound: OpenAL on '") + (name != nullptr ? name : "?") + "'";
  opened.device = std::make_unique<OpenAlDevice>(std::move(context));
  return opened;
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
  if (samples.encoding == SampleEncoding::kMsAdpcm)
    SetBlockAlignment(name, samples.frames_per_block);
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
  PlayChannelsDirect(source);
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
