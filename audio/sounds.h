#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/volume_table.h"
#include "platform/audio_device.h"
#include "platform/file_system.h"
#include "runtime/slot_table.h"
#include "runtime/window.h"

namespace grumbol {

// An extra voice of a slot, made by a play with flag 2.
struct SoundVoice {
  std::int32_t handle = 0;
  std::unique_ptr<platform::AudioVoice> voice;
};

// One loaded sound.
struct SoundSlot {
  std::unique_ptr<platform::AudioVoice> sound;  // the slot's own voice; null: the slot is free
  std::shared_ptr<platform::AudioBuffer> buffer;
  std::vector<SoundVoice> voices;  // oldest first
  std::int32_t volume = 0;         // as read right after loading; given to new voices
  bool InUse() const { return sound != nullptr; }
};

// Sound effects in numbered slots, from RIFF WAVE data: each slot holds one short sound whole,
// played from its beginning with one call. Without a sound device every call answers as for an
// empty slot.
class Sounds {
 public:
  static constexpr int kPlayLooping = 1;
  static constexpr int kPlayExtraVoice = 2;

  Sounds(Window& window, platform::FileSystem& file_system, platform::AudioSystem& audio);
  ~Sounds();
  Sounds(const Sounds&) = delete;
  Sounds& operator=(const Sounds&) = delete;

  // Creates the window if needed, then opens the default output. Non-zero on success; 0
  // when there is no window or no sound device.
  int StartSound();
  // Reads a whole sound file into a slot (kDynamicSlot for a new unnumbered one). Returns 0
  // on failure, the new identifier for kDynamicSlot, else 1. A failed load leaves the
  // slot's previous sound in place.
  std::int64_t LoadSoundFile(SlotId slot, const std::string& path);
  std::int64_t LoadSoundData(SlotId slot, std::span<const std::uint8_t> data);
  // Flags 0: the slot's sound from its beginning, cutting off its own playing. Bit 0 loops.
  // Bit 1 plays an extra voice instead and returns its handle. 0 for an empty slot.
  std::int32_t PlaySoundSlot(SlotId slot, int flags = 0);
  // Sets the slot's own sound to a volume of 0 to 100 (clamped). 1 if the slot is in use.
  int SetSoundVolume(SlotId slot, int volume);
  void FreeSoundSlot(SlotId slot);
  void EndSound();

  // The frame the slot's own sound plays next (0 when stopped); -1 for an empty slot.
  std::int64_t SoundPosition(SlotId slot);
  // The extra voices a slot still keeps; 0 for an empty slot.
  std::size_t VoiceCount(SlotId slot);

 private:
  std::int32_t PlayExtraVoice(SoundSlot& record, bool looping);

  Window& window_;
  platform::FileSystem& file_system_;
  platform::AudioSystem& audio_;
  std::unique_ptr<platform::AudioDevice> device_;
  std::optional<VolumeTable> volume_table_;  // built by StartSound
  SlotTable<SoundSlot> slots_;
  std::int32_t last_voice_handle_ = 0;
  bool started_ = false;
};

}  // namespace grumbol
