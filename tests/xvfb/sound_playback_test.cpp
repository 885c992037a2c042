// The hit sound as the game plays it: the window on an X server, a sound file loaded into a
// slot and played through OpenAL Soft's real mixer. Its `wave` driver (chosen by the
// ALSOFT_CONF this test runs with) writes the mixed output to the file named by
// GRUMBOL_SOUND_CAPTURE, read back here.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "audio/sounds.h"
#include "platform/openal/openal_audio.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/system_clock.h"
#include "platform/sdl/sdl_display.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wave_writer.h"
#include "video/screen.h"

namespace grumbol {
namespace {

constexpr int kRate = 44100;
constexpr int kToneFrames = kRate / 5;

std::int16_t Tone(int i) {
  return static_cast<std::int16_t>(std::lround(12000 * std::cos(2 * M_PI * 441 * i / kRate)));
}

TEST(XSound, PlayedSoundLeavesTheMixerAtFullLevelOnBothChannels) {
  const char* capture = std::getenv("GRUMBOL_SOUND_CAPTURE");
  ASSERT_NE(capture, nullptr) << "run through CTest";
  testing::TempDir dir;
  testing::Bytes tone;
  for (int i = 0; i < kToneFrames; ++i) {
    tone.insert(tone.end(), {std::uint8_t(Tone(i)), std::uint8_t(Tone(i) >> 8)});
  }
  testing::WriteFileBytes(dir.File("Sound1.qzs"),
                          testing::MakeWave({.rate = kRate, .samples = tone}));

  {
    platform::SdlDisplay display;
    platform::SystemClock clock;
    Screen screen(display, clock);
    platform::PosixFileSystem files;
    platform::OpenAlSystem audio;
    Sounds sounds(screen, files, audio);
    ASSERT_NE(sounds.StartSound(), 0);
    ASSERT_EQ(sounds.LoadSoundFile(5, dir.File("Sound1.qzs")), 1);
    clock.Sleep(100);
    ASSERT_EQ(sounds.PlaySoundSlot(5), 1);
    clock.Sleep(400);
    sounds.EndSound();  // closes the device, which completes the capture
  }

  // The driver writes "fmt " and then "data", whose size it fixes up on closing.
  const std::string bytes = testing::ReadFileBytes(capture);
  const std::size_t format = bytes.find("fmt "), data = bytes.find("data");
  ASSERT_TRUE(format != std::string::npos && data != std::string::npos);
  EXPECT_TRUE(bytes[format + 10] == 2 && bytes[format + 22] == 16) << "16-bit stereo";
  std::vector<std::int16_t> samples((bytes.size() - data - 8) / 2);
  std::memcpy(samples.data(), bytes.data() + data + 8, samples.size() * 2);
  const auto start = std::ranges::find_if(samples, [](std::int16_t v) { return v != 0; });
  ASSERT_NE(start, samples.begin()) << "silence before the play";
  ASSERT_GE(samples.end() - start, 2 * (kToneFrames + 100));
  for (int i = 0; i < kToneFrames + 100; ++i) {
    const int expected = i < kToneFrames ? Tone(i) : 0;
    ASSERT_TRUE(std::abs(start[2 * i] - expected) <= 1 &&
                std::abs(start[2 * i + 1] - expected) <= 1)
        << "frame " << i;
  }

  // The alsoft.conf beside the executable sets the short mixing period.
  auto device = platform::OpenAlDevice::OpenDefault();
  ASSERT_NE(device, nullptr);
  EXPECT_GE(device->PeriodsPerSecond(), 90);
}

}  // namespace
}  // namespace grumbol
