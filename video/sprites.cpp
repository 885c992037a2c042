#include "video/sprites.h"

#include <string>

#include "platform/log.h"
#include "video/blit.h"

namespace grumbol {

namespace {

constexpr SlotId kSpriteSlotsStep = 64;

// Files bigger than this are no pictures of ours.
constexpr std::int64_t kMaxPictureFileBytes = std::int64_t{512} << 20;

}  // namespace

Sprites::Sprites(Screen& screen, platform::FileSystem& file_system, std::size_t max_total_bytes)
    : screen_(screen),
      file_system_(file_system),
      max_total_bytes_(max_total_bytes),
      sprites_(kSpriteSlotsStep, [this](SlotId id) { DiscardSprite(id); }) {
  screen_.AddObserver(this);
}

Sprites::~Sprites() {
  screen_.RemoveObserver(this);
  OnScreenReleased();
}

std::int64_t Sprites::LoadSpriteFile(SlotId slot, const std::string& path, int mode) {
  const auto data = platform::ReadWholeFile(file_system_, path, kMaxPictureFileBytes);
  if (!data) {
    platform::LogDetail("picture " + path + ": cannot be read");
    return 0;
  }
  return Load(slot, *data, mode, path);
}

std::size_t Sprites::BytesHeld() {
  std::size_t held = 0;
  for (SlotId id : sprites_.IdsInVisitOrder()) {
    const SpriteRecord* record = sprites_.FindSlot(id);
    if (record != nullptr) held += record->picture->pixels.size_bytes();
  }
  return held;
}

std::int64_t Sprites::LoadSpriteData(SlotId slot, std::span<const std::uint8_t> data, int mode) {
  return Load(slot, data, mode, "in memory");
}

std::int64_t Sprites::Load(SlotId slot, std::span<const std::uint8_t> data, int mode,
                           const std::string& name) {
  // Claiming frees the sprite the slot held: from here on a failure leaves it empty.
  const auto claim = sprites_.ClaimSlot(slot);
  if (claim.record == nullptr) return 0;
  // The claimed slot holds nothing any more, so its old picture does not count.
  const std::size_t held = BytesHeld();
  const std::size_t room = held < max_total_bytes_ ? max_total_bytes_ - held : 0;
  bool too_large = false;
  std::optional<SpritePicture> picture =
      HasBmpSignature(data)
          ? DecodeSpritePicture(data, screen_.depth(), screen_.layout(), mode, room, &too_large)
          : std::nullopt;
  if (!picture) {
    platform::LogDetail("picture " + name +
                        (too_large ? ": refused, it would take more than the " +
                                         std::to_string(max_total_bytes_ >> 20) +
                                         " MiB all sprites may hold together (" +
                                         std::to_string(held >> 20) + " MiB held)"
                                   : ": not a picture that can be shown on this screen"));
    if (slot == kDynamicSlot) sprites_.ReleaseSlot(claim.id);
    return 0;
  }
  SpriteRecord& record = *claim.record;
  if (!picture->alpha && !picture->plain) record.key = default_key_;
  record.picture = std::make_unique<SpritePicture>(std::move(*picture));
  return slot == kDynamicSlot ? claim.id : 1;
}

void Sprites::DiscardSprite(SlotId slot) { sprites_.ReleaseSlot(slot); }

void Sprites::OnScreenReleased() {
  for (SlotId id : sprites_.IdsInVisitOrder()) DiscardSprite(id);
}

std::uint32_t Sprites::ColourToPixel(int red, int green, int blue) const {
  const auto r = static_cast<std::uint32_t>(red);
  const auto g = static_cast<std::uint32_t>(green);
  const auto b = static_cast<std::uint32_t>(blue);
  switch (screen_.depth()) {
    case 15: return (b >> 3) | (g >> 3) << 5 | (r >> 3) << 10;
    case 16: return (b >> 3) | (g >> 2) << 5 | (r >> 3) << 11;
    case 24:
    case 32:
      if (screen_.layout() == PixelLayout::kBgr24RedLow ||
          screen_.layout() == PixelLayout::kX8B8G8R8) {
        return r | g << 8 | b << 16;
      }
      return b | g << 8 | r << 16;
    default: return 0;
  }
}

void Sprites::SetSpriteKey(SlotId slot, Colour colour) {
  const std::uint32_t key =
      ColourToPixel(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                    static_cast<int>((colour >> 16) & 0xFF));
  if (slot == kDynamicSlot) {
    default_key_ = key;
    return;
  }
  SpriteRecord* sprite = sprites_.FindSlot(slot);
  if (sprite != nullptr && !sprite->picture->plain) sprite->key = key;
}

void Sprites::Draw(SlotId slot, int x, int y, bool keyed) {
  const SpriteRecord* sprite = sprites_.FindSlot(slot);
  Surface* target = screen_.target();
  if (sprite == nullptr || target == nullptr || !screen_.active() || sprite->picture->plain) {
    return;
  }
  const Surface& source = sprite->picture->pixels;
  // A sprite in another pixel size (an alpha sprite on a shallower screen) cannot be copied.
  if (source.bytes_per_pixel() != target->bytes_per_pixel()) return;

  const Clip c =
      ClipTo(*target, x, y, std::int64_t{x} + source.width(), std::int64_t{y} + source.height());
  if (c.Empty()) return;
  // The visible part starts at source column c.x0 - x and row c.y0 - y.
  if (keyed && sprite->key) {
    CopyPixelsKeyed(source, c.x0 - x, c.y0 - y, c.x1 - c.x0, c.y1 - c.y0, *target, c.x0, c.y0,
                    *sprite->key);
  } else {
    CopyPixels(source, c.x0 - x, c.y0 - y, c.x1 - c.x0, c.y1 - c.y0, *target, c.x0, c.y0);
  }
}

void Sprites::FillScreen(Colour colour) {
  Surface* target = screen_.target();
  if (target == nullptr) return;
  const std::uint32_t value =
      screen_.depth() <= 8
          ? colour
          : ColourToPixel(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                          static_cast<int>((colour >> 16) & 0xFF));
  FillPixels(*target, value);
}

}  // namespace grumbol
