#include "audio/sounds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/openal/openal_audio.h"
#include "tests/support/headless_screen.h"
#include "tests/support/wave_writer.h"

// Sounds play through OpenAL Soft's loopback device at their own rate, so the rendered output
// carries each sample unchanged and shows level and position exactly.

namespace grumbol {
namespace {

using namespace testing;

constexpr int kRate = 22050;

// Sounds on a loopback device at kRate.
struct SoundFixture final : platform::AudioSystem, testing::HeadlessScreen {
  SoundFixture() { sounds.StartSound(); }
  std::unique_ptr<platform::AudioDevice> OpenDefaultDevice() override {
    auto device = platform::OpenAlDevice::OpenLoopback(kRate);
    loopback = device.get();
    return device;
  }
  // Left and right interleaved.
  std::vector<float> Render(int frames) { return loopback->Render(frames); }

  platform::OpenAlDevice* loopback = nullptr;
  Sounds sounds{screen, files, *this};
};

// Frame i of the ramp holds (i + 1) / 1024 on the left and its negative on the right: the
// value tells the position.
constexpr int kRampFrames = 100;
float Ramp(int i) { return i >= 0 && i < kRampFrames ? static_cast<float>(i + 1) / 1024 : 0; }

Bytes StereoFloatWave(int frames, float (*left)(int)) {
  std::vector<float> samples;
  for (int i = 0; i < frames; ++i) samples.insert(samples.end(), {left(i), -left(i)});
  Bytes bytes(samples.size() * 4);
  std::memcpy(bytes.data(), samples.data(), bytes.size());
  return MakeWave({.tag = 3, .channels = 2, .block_align = 8, .bits = 32, .samples = bytes});
}
Bytes RampWave() { return StereoFloatWave(kRampFrames, Ramp); }

// The rendered left channel against the sum of ramps started `starts` frames before.
void ExpectRamps(const std::vector<float>& out, std::vector<int> starts) {
  for (std::size_t i = 0; i < out.size() / 2; ++i) {
    float expected = 0;
    for (int start : starts) expected += Ramp(static_cast<int>(i) + start);
    ASSERT_NEAR(out[2 * i], expected, 1e-6) << "frame " << i;
  }
}

// A wave whose frames are `channels` samples of `bits` each.
testing::WaveShape Pcm(std::uint16_t tag, std::uint16_t channels, std::uint16_t bits, Bytes samples,
                       Bytes between = {}) {
  return {.tag = tag,
          .channels = channels,
          .block_align = static_cast<std::uint16_t>(channels * bits / 8),
          .bits = bits,
          .between = std::move(between),
          .samples = std::move(samples)};
}

TEST(SoundFormats, EachFormatPlaysItsSamplesOnBothChannels) {
  struct Case {
    const char* name;
    testing::WaveShape shape;
    std::vector<double> left, right;  // in units of 1/32768; no right: as left
  };
  const Case cases[] = {
      {"u8 mono", Pcm(1, 1, 8, {128, 255, 0, 192}), {0, 32512, -32768, 16384}, {}},
      {"s16 stereo, LIST chunk before data",
       Pcm(1, 2, 16, Le({1000, 3000, -2000, 4000}, 2), Chunk("LIST", Bytes(10))),
       {1000, -2000},
       {3000, 4000}},
      {"float32 mono", Pcm(3, 1, 32, Le({0x3E800000, 0xBF000000}, 4)), {8192, -16384}, {}},
      {"mu-law mono", Pcm(7, 1, 8, {0xFF, 0x80, 0x00}), {0, 32124, -32124}, {}},
      {"A-law stereo", Pcm(6, 2, 8, {0xD5, 0x55, 0xAA, 0x2A}), {8, 32256}, {-8, -32256}},
      {"24-bit mono, partial frame dropped",
       Pcm(1, 1, 24, {0, 0, 0x40, 0, 0, 0xC0, 0x80, 0, 0, 1}),
       {16384, -16384, 0.5},
       {}},
      {"32-bit stereo", Pcm(1, 2, 32, Le({0x40000000, -0x20000000}, 4)), {16384}, {-8192}},
      // Coefficient pair 0 predicts the last sample; at the smallest step each nibble n adds 16 n.
      {"MS ADPCM mono",
       {.tag = 2,
        .block_align = 9,
        .bits = 4,
        .extra = Le({6, 7, 256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232}, 2),
        .samples = {0, 16, 0, 100, 0, 50, 0, 0x11, 0xF3}},
       {50, 100, 116, 132, 116, 164},
       {}},
      {"IMA ADPCM stereo",
       {.tag = 0x11,
        .channels = 2,
        .block_align = 16,
        .bits = 4,
        .extra = Le({9}, 2),
        .samples = {0xE8, 0x03, 10, 0, 0x18, 0xFC, 40, 0, 0x44, 0xC4, 0xA2, 0x80, 0x07, 0xF0, 0x55,
                    0x1D}},
       {1000, 1021, 1046, 1077, 1039, 1064, 1042, 1046, 1043},
       {-1000, -369, -279, -197, -1317, 445, 3026, -753, 756}},
  };
  SoundFixture f;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(f.sounds.LoadSoundData(3, MakeWave(c.shape)), 1);
    ASSERT_EQ(f.sounds.PlaySoundSlot(3), 1);
    const auto out = f.Render(12);
    const auto& right = c.right.empty() ? c.left : c.right;
    for (std::size_t i = 0; i < out.size() / 2; ++i) {
      EXPECT_NEAR(out[2 * i], i < c.left.size() ? c.left[i] / 32768 : 0, 1e-6) << "frame " << i;
      EXPECT_NEAR(out[2 * i + 1], i < right.size() ? right[i] / 32768 : 0, 1e-6) << "frame " << i;
    }
  }
}

TEST(Sounds, VolumeAttenuatesTheSlotsSoundByTheTable) {
  SoundFixture f;
  ASSERT_EQ(f.sounds.LoadSoundData(5, StereoFloatWave(64, [](int) { return 0.5F; })), 1);
  const std::pair<int, int> cases[] = {{100, 0}, {50, -603}, {1, -4000}, {0, -10000}, {70, -310},
                                       {99, -9}, {2, -3398}, {150, 0},   {-5, -10000}};
  for (const auto& [volume, hundredths_db] : cases) {
    SCOPED_TRACE(volume);
    ASSERT_EQ(f.sounds.SetSoundVolume(5, volume), 1);
    f.sounds.PlaySoundSlot(5);
    // Neighbouring hundredths of a decibel differ by 0.115 %; -100 dB is silence.
    const double expected = 0.5 * std::pow(10.0, hundredths_db / 2000.0);
    EXPECT_NEAR(f.Render(4)[4], expected, std::max(expected * 3e-4, 1e-5));
  }
  EXPECT_EQ(f.sounds.SetSoundVolume(6, 50), 0);
}

TEST(Sounds, PlayRestartsFromTheBeginningAndFreeingSilences) {
  SoundFixture f;
  ASSERT_EQ(f.sounds.LoadSoundData(5, RampWave()), 1);

  // Flags 0 cut the sound off and start it again from its beginning.
  f.sounds.PlaySoundSlot(5);
  f.Render(30);
  EXPECT_EQ(f.sounds.SoundPosition(5), 30);
  EXPECT_EQ(f.sounds.PlaySoundSlot(5, 0), 1);
  ExpectRamps(f.Render(kRampFrames + 20), {0});

  // Freeing the slot silences it and everything it played.
  f.sounds.PlaySoundSlot(5);
  f.sounds.FreeSoundSlot(5);
  EXPECT_EQ(f.sounds.PlaySoundSlot(5), 0);
  ExpectRamps(f.Render(20), {});
}

TEST(Sounds, FailedLoadKeepsTheSlotsSound) {
  const Bytes plain = MakeWave({});
  Bytes format(plain.begin() + 20, plain.begin() + 36);  // 16-bit mono PCM
  const Bytes data = Chunk("data", Bytes(4));
  const std::pair<const char*, Bytes> cases[] = {
      {"not RIFF", Bytes{'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}},
      {"first chunk not fmt", Riff({Chunk("LIST", {}), Chunk("fmt ", format), data})},
      {"no data chunk", Riff({Chunk("fmt ", format), Chunk("LIST", Bytes(6))})},
      {"less than one frame", MakeWave(Pcm(1, 2, 16, Bytes(3)))},
      {"unknown format tag", MakeWave(Pcm(0x55, 1, 16, Bytes(4)))},
      {"block align not the frame size", MakeWave({.block_align = 4, .samples = Bytes(8)})},
      {"MS ADPCM with other coefficients",
       MakeWave({.tag = 2,
                 .block_align = 9,
                 .bits = 4,
                 .extra = Le({6, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 2),
                 .samples = Bytes(9)})},
  };
  SoundFixture f;
  ASSERT_EQ(f.sounds.LoadSoundData(5, RampWave()), 1);
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(f.sounds.LoadSoundData(5, bytes), 0);
    f.sounds.PlaySoundSlot(5);
    ExpectRamps(f.Render(4), {0});
  }
  EXPECT_EQ(f.sounds.LoadSoundFile(5, "/nonexistent/Sound1.qzs"), 0);
  EXPECT_EQ(f.sounds.PlaySoundSlot(5), 1);
}

}  // namespace
}  // namespace grumbol
