#pragma once

#include <memory>
#include <vector>

#include "platform/audio_device.h"

namespace grumbol::platform {

class OpenAlContext;

// An OpenAL device with its one context (OpenAL Soft natively, Web Audio in the browser). Buffers
// and voices keep the context alive, so they may outlive the device object.
class OpenAlDevice final : public AudioDevice {
 public:
  // The system's default output; null when there is none. Its mixing period comes from the
  // alsoft.conf beside the executable (OpenAL Soft ignores ALC_REFRESH).
  static std::unique_ptr<OpenAlDevice> OpenDefault();
  // A device that mixes only when Render asks, into memory: stereo float at `rate`, with no
  // limiter, so levels and positions come out exactly. Null when unavailable (always in the
  // browser, whose OpenAL has none).
  static std::unique_ptr<OpenAlDevice> OpenLoopback(int rate);

  explicit OpenAlDevice(std::shared_ptr<OpenAlContext> context);
  ~OpenAlDevice() override;
  OpenAlDevice(const OpenAlDevice&) = delete;
  OpenAlDevice& operator=(const OpenAlDevice&) = delete;

  std::shared_ptr<AudioBuffer> CreateBuffer(const SampleData& samples) override;
  std::unique_ptr<AudioVoice> CreateVoice(std::shared_ptr<AudioBuffer> buffer) override;

  // Loopback devices only: mixes the next `frames` frames, left and right interleaved.
  // Empty for other devices.
  std::vector<float> Render(int frames);
  // How many mixing periods the device runs per second.
  int PeriodsPerSecond() const;

 private:
  std::shared_ptr<OpenAlContext> context_;
};

class OpenAlSystem final : public AudioSystem {
 public:
  // Null when there is no output: the game then plays silently, and says so once.
  std::unique_ptr<AudioDevice> OpenDefaultDevice() override;
};

}  // namespace grumbol::platform
