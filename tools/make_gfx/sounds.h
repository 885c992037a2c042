#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gfx {

inline constexpr int kSampleRate = 44100;

struct Sound {
  std::string name;
  std::vector<std::int16_t> samples;  // mono, kSampleRate
};

inline constexpr const char* kSoundNames[] = {"Sound1.qzs", "Sound2.qzs"};

// The hit sound and the sound of a fish that got through, named as kSoundNames.
std::vector<Sound> MakeSounds();
// The sound track of movie 1..7, `seconds` long.
std::vector<std::int16_t> MovieSoundtrack(int movie, double seconds);

// A RIFF WAVE file: 16-bit PCM, mono, kSampleRate.
std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& samples);

}  // namespace gfx
