#pragma once

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_device.h"

namespace grumbol::platform {

class OpenAlContext;

// An OpenAL device with its one context (OpenAL Soft natively, Web Audio in the browser). Buffers
// and voices keep the context alive, so they may outlive the device object.
class OpenAlDevice final : public AudioDevice {
 public:
  struct Opened {
    std::unique_ptr<OpenAlDevice> device;  // null when there is none
    std::string says;                      // for the log: which device, or why none
  };
  // The system's default output. Its mixing period comes from the alsoft.conf beside the
  // executable (OpenAL Soft ignores ALC_REFRESH). Writes nothing to the log itself: a device
  // opened ahead says so only once it is taken.
  static Opened OpenDefault();
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
  OpenAlSystem() = default;
  ~OpenAlSystem() override;  // waits for a device still being opened ahead
  OpenAlSystem(const OpenAlSystem&) = delete;
  OpenAlSystem& operator=(const OpenAlSystem&) = delete;

  // Begins opening the default output on a thread of its own (it takes a sound server a
  // while to answer); the next OpenDefaultDevice takes that device.
  void OpenDefaultAhead();
  // Null when there is no output: the game then plays silently, and says so once.
  std::unique_ptr<AudioDevice> OpenDefaultDevice() override;

 private:
  std::future<OpenAlDevice::Opened> ahead_;
};

}  // namespace grumbol::platform
