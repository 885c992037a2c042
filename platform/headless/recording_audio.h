#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio_device.h"

namespace grumbol::platform {

// An audio device that plays nothing and writes down every start: which buffer (numbered in
// the order they were made), looping or not, at what volume.
class RecordingAudioSystem final : public AudioSystem {
 public:
  struct Start {
    int buffer;
    bool looping;
    std::int32_t volume;
  };

  explicit RecordingAudioSystem(bool has_device = true) : has_device_(has_device) {}

  std::unique_ptr<AudioDevice> OpenDefaultDevice() override {
    if (!has_device_) return nullptr;
    return std::make_unique<Device>(starts_);
  }

  const std::vector<Start>& starts() const { return starts_; }
  // How many starts buffer `n` has had.
  int StartsOf(int n) const {
    int count = 0;
    for (const Start& start : starts_) count += start.buffer == n ? 1 : 0;
    return count;
  }

 private:
  struct Buffer final : AudioBuffer {
    explicit Buffer(int n) : number(n) {}
    int number;
  };

  class Voice final : public AudioVoice {
   public:
    Voice(std::shared_ptr<Buffer> buffer, std::vector<Start>& starts)
        : buffer_(std::move(buffer)), starts_(starts) {}
    bool Play(bool looping) override {
      starts_.push_back({buffer_->number, looping, volume_});
      state_ = looping ? VoiceState::kPlayingLooped : VoiceState::kPlaying;
      return true;
    }
    void Stop() override { state_ = VoiceState::kStopped; }
    void SetVolume(std::int32_t hundredths_db) override { volume_ = hundredths_db; }
    std::int32_t Volume() const override { return volume_; }
    VoiceState State() const override { return state_; }
    std::int64_t Position() const override { return 0; }

   private:
    std::shared_ptr<Buffer> buffer_;
    std::vector<Start>& starts_;
    std::int32_t volume_ = 0;
    VoiceState state_ = VoiceState::kStopped;
  };

  class Device final : public AudioDevice {
   public:
    explicit Device(std::vector<Start>& starts) : starts_(starts) {}
    std::shared_ptr<AudioBuffer> CreateBuffer(const SampleData&) override {
      return std::make_shared<Buffer>(buffers_++);
    }
    std::unique_ptr<AudioVoice> CreateVoice(std::shared_ptr<AudioBuffer> buffer) override {
      return std::make_unique<Voice>(std::static_pointer_cast<Buffer>(buffer), starts_);
    }

   private:
    std::vector<Start>& starts_;
    int buffers_ = 0;
  };

  bool has_device_;
  std::vector<Start> starts_;
};

}  // namespace grumbol::platform
