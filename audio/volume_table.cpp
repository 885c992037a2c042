#include "audio/volume_table.h"

#include <cmath>

namespace grumbol {

VolumeTable::VolumeTable() {
  entries_[0] = 0;
  for (int v = 1; v < kMaxVolume; ++v) {
    entries_[static_cast<std::size_t>(v)] =
        static_cast<std::int32_t>(100.0 * (20.0 * std::log10(1000.0 * v)));
  }
  entries_[kMaxVolume] = 10000;
}

}  // namespace grumbol
