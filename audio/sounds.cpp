#include "audio/sounds.h"

#include <algorithm>
#include <limits>

#include "audio/wave_file.h"
#include "platform/log.h"

namespace grumbol {

namespace {

constexpr SlotId kSoundSlotsStep = 64;

// Sound files bigger than this are no sound effects of ours.
constexpr std::int64_t kMaxSoundFileBytes = std::int64_t{256} << 20;

}  // namespace

Sounds::Sounds(Window& window, platform::FileSystem& file_system, platform::AudioSystem& audio)
    : window_(window),
      file_system_(file_system),
      audio_(audio),
      slots_(kSoundSlotsStep, [this](SlotId id) { FreeSoundSlot(id); }) {}

Sounds::~Sounds() { EndSound(); }

int Sounds::StartSound() {
  started_ = true;
  if (!volume_table_) volume_table_.emplace();
  if (window_.CreateScreenWindow() == 0) return 0;
  if (device_) return 1;
  device_ = audio_.OpenDefaultDevice();
  return device_ ? 1 : 0;
}

std::int64_t Sounds::LoadSoundFile(SlotId slot, const std::string& path) {
  if (!device_) return 0;
  const auto data = platform::ReadWholeFile(file_system_, path, kMaxSoundFileBytes);
  if (!data) {
    platform::LogDetail("sound " + path + ": cannot be read");
    return 0;
  }
  const std::int64_t loaded = LoadSoundData(slot, *data);
  if (loaded == 0) platform::LogDetail("sound " + path + ": not a sound that can be played here");
  return loaded;
}

std::int64_t Sounds::LoadSoundData(SlotId slot, std::span<const std::uint8_t> data) {
  if (!device_) return 0;
  // Everything that can fail comes before the claim, so a failed load keeps the old sound.
  const std::optional<DeviceSound> sound =
      HasRiffSignature(data) ? ReadWaveSound(data) : std::nullopt;
  if (!sound) return 0;
  auto buffer = device_->CreateBuffer(sound->View());
  if (!buffer) return 0;
  auto voice = device_->CreateVoice(buffer);
  if (!voice) return 0;

  const auto claim = slots_.ClaimSlot(slot);
  if (claim.record == nullptr) return 0;
  SoundSlot& record = *claim.record;
  record.volume = voice->Volume();
  record.sound = std::move(voice);
  record.buffer = std::move(buffer);
  return slot == kDynamicSlot ? claim.id : 1;
}

std::int32_t Sounds::PlaySoundSlot(SlotId slot, int flags) {
  SoundSlot* record = slots_.FindSlot(slot);
  if (record == nullptr) return 0;
  const bool looping = (flags & kPlayLooping) != 0;
  if ((flags & kPlayExtraVoice) != 0) return PlayExtraVoice(*record, looping);
  return record->sound->Play(looping) ? 1 : 0;
}

std::int32_t Sounds::PlayExtraVoice(SoundSlot& record, bool looping) {
  // Only voices still playing once stay; finished and looping ones go.
  std::erase_if(record.voices, [](const SoundVoice& v) {
    return v.voice->State() != platform::VoiceState::kPlaying;
  });
  auto voice = device_->CreateVoice(record.buffer);
  if (!voice) return 0;
  voice->SetVolume(record.volume);
  voice->Play(looping);
  last_voice_handle_ =
      last_voice_handle_ == std::numeric_limits<std::int32_t>::max() ? 1 : last_voice_handle_ + 1;
  record.voices.push_back({last_voice_handle_, std::move(voice)});
  return last_voice_handle_;
}

int Sounds::SetSoundVolume(SlotId slot, int volume) {
  SoundSlot* record = slots_.FindSlot(slot);
  if (record == nullptr) return 0;
  record->sound->SetVolume(volume_table_->Attenuation(volume));
  return 1;
}

// Every voice holds the buffer it plays, so the order in which a slot's parts go is free.
void Sounds::FreeSoundSlot(SlotId slot) { slots_.ReleaseSlot(slot); }

void Sounds::EndSound() {
  if (!started_) return;
  for (SlotId id : slots_.IdsInVisitOrder()) FreeSoundSlot(id);
  device_.reset();
}

std::int64_t Sounds::SoundPosition(SlotId slot) {
  SoundSlot* record = slots_.FindSlot(slot);
  return record != nullptr ? record->sound->Position() : -1;
}

std::size_t Sounds::VoiceCount(SlotId slot) {
  SoundSlot* record = slots_.FindSlot(slot);
  return record != nullptr ? record->voices.size() : 0;
}

}  // namespace grumbol
