#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace grumbol {

// The volume scale of sound effects and movies: entry v (0..100) is 100 * 20 * log10(1000 * v)
// cut to an integer, 0 for silence and 10000 for full volume, so that entry - 10000 is the
// level in hundredths of a decibel that the volume v stands for.
class VolumeTable {
 public:
  static constexpr int kMaxVolume = 100;

  VolumeTable();

  std::int32_t operator[](int volume) const { return entries_[static_cast<std::size_t>(volume)]; }

  // The level in hundredths of a decibel (0 down to -10000) for a volume clamped to 0..100.
  std::int32_t Attenuation(int volume) const {
    return (*this)[std::clamp(volume, 0, kMaxVolume)] - 10000;
  }

 private:
  std::array<std::int32_t, kMaxVolume + 1> entries_{};
};

}  // namespace grumbol
