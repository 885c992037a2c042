// Prints how long a played sound takes to leave OpenAL Soft's mixer: from PlaySoundSlot until
// the slot's sound has moved past its first frame, that is until the mixer has mixed it.
//   ALSOFT_CONF=<build>/benchmarks/sound_latency.conf <build>/bin/sound_latency
// That configuration picks the null driver, which mixes in real time like a sound card; with a
// sound card, leave ALSOFT_CONF out. The period comes from the alsoft.conf beside the program.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "audio/sounds.h"
#include "platform/openal/openal_audio.h"
#include "platform/openal/quiet_alsa.h"
#include "tests/support/headless_screen.h"
#include "tests/support/wave_writer.h"

int main() {
  using namespace grumbol;
  using std::chrono::steady_clock;
  if (auto device = platform::OpenAlDevice::OpenDefault().device) {
    std::printf("mixing periods per second: %d\n", device->PeriodsPerSecond());
  }
  testing::HeadlessScreen headless;
  platform::QuietAlsa quiet_alsa;
  platform::OpenAlSystem audio;
  Sounds sounds(headless.screen, headless.files, audio);
  // One second: it never ends while measured.
  const auto wave = testing::MakeWave({.rate = 44100, .samples = testing::Bytes(88200, 1)});
  if (sounds.StartSound() == 0 || sounds.LoadSoundData(5, wave) == 0) {
    std::puts("no sound device");
    return 1;
  }
  std::mt19937 random(5);
  std::vector<double> ms;
  for (int i = 0; i < 200; ++i) {
    // Plays land anywhere within the mixer's period, as clicks do.
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    const auto start = steady_clock::now();
    sounds.PlaySoundSlot(5);
    while (sounds.SoundPosition(5) == 0) std::this_thread::sleep_for(std::chrono::microseconds(50));
    ms.push_back(std::chrono::duration<double, std::milli>(steady_clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("PlaySoundSlot to mixed, %zu plays: median %.1f ms, 95%% %.1f ms, max %.1f ms\n",
              ms.size(), ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back());
}
