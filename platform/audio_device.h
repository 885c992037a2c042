#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace grumbol::platform {

// How the sample bytes of a buffer are stored. Everything else is converted before it gets
// here.
enum class SampleEncoding {
  kUnsigned8,
  kSigned16,
  kFloat32,
  kMulaw,
  kAlaw,
  kMsAdpcm,  // standard coefficient set; SampleData::frames_per_block says the block size
};

// One sound's samples, interleaved, as whole frames (or whole blocks for ADPCM).
struct SampleData {
  SampleEncoding encoding = SampleEncoding::kSigned16;
  int channels = 2;  // 1 or 2
  int rate = 0;      // frames per second
  int frames_per_block = 0;
  std::span<const std::uint8_t> bytes;
};

// Sample data held by the device; shared by every voice playing it.
class AudioBuffer {
 public:
  virtual ~AudioBuffer() = default;
};

enum class VoiceState { kStopped, kPlaying, kPlayingLooped };

// One playing position in a buffer, with its own volume.
class AudioVoice {
 public:
  virtual ~AudioVoice() = default;
  // Starts from the beginning, also when already playing. False when the device refused.
  virtual bool Play(bool looping) = 0;
  // Stops and rewinds.
  virtual void Stop() = 0;
  // Attenuation in hundredths of a decibel: 0 is full level, -10000 silence.
  virtual void SetVolume(std::int32_t hundredths_db) = 0;
  virtual std::int32_t Volume() const = 0;
  virtual VoiceState State() const = 0;
  // The frame the device mixes next; 0 while stopped.
  virtual std::int64_t Position() const = 0;
};

// An open output device that mixes its voices in the background.
class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // Null when the device cannot take the data.
  virtual std::shared_ptr<AudioBuffer> CreateBuffer(const SampleData& samples) = 0;
  // A stopped voice at full volume on `buffer` (one made by this device); null when the
  // device has no voice left.
  virtual std::unique_ptr<AudioVoice> CreateVoice(std::shared_ptr<AudioBuffer> buffer) = 0;
};

class AudioSystem {
 public:
  virtual ~AudioSystem() = default;
  // The system's default output; null when there is none (no sound card).
  virtual std::unique_ptr<AudioDevice> OpenDefaultDevice() = 0;
};

}  // namespace grumbol::platform
