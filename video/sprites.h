#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/file_system.h"
#include "runtime/slot_table.h"
#include "runtime/text.h"
#include "video/bmp_loader.h"
#include "video/screen.h"

namespace grumbol {

// One loaded picture in a sprite slot.
struct SpriteRecord {
  std::unique_ptr<SpritePicture> picture;  // null: the slot is free
  std::optional<std::uint32_t> key;        // pixels equal to it are skipped by keyed drawing
  bool InUse() const { return picture != nullptr; }
};

// The sprite store: pictures loaded from BMP files into numbered slots, converted once to
// the open screen's pixel format, and drawn into the back buffer opaque or colour-keyed,
// clipped at the screen's edges. Sprites live only while a screen is open.
class Sprites final : public WindowObserver {
 public:
  // All sprites together hold at most this many bytes of pixels: a picture's header alone
  // can claim 256 MiB, and the game's own pictures need about 10 MiB.
  static constexpr std::size_t kMaxTotalBytes = std::size_t{1} << 30;

  Sprites(Screen& screen, platform::FileSystem& file_system,
          std::size_t max_total_bytes = kMaxTotalBytes);
  ~Sprites() override;
  Sprites(const Sprites&) = delete;
  Sprites& operator=(const Sprites&) = delete;

  // Reads a whole picture file into a slot (kDynamicSlot for a new unnumbered one). Non-zero
  // on success (the new identifier for kDynamicSlot). A file that cannot be read leaves the
  // slot as it was; data that cannot be loaded leaves it empty.
  std::int64_t LoadSpriteFile(SlotId slot, const std::string& path, int mode);
  std::int64_t LoadSpriteData(SlotId slot, std::span<const std::uint8_t> data, int mode);
  void DiscardSprite(SlotId slot);

  // The screen's pixel value of a colour (0 while no screen is open).
  std::uint32_t ColourToPixel(int red, int green, int blue) const;
  // The key colour of one sprite; slot -1 sets the key later loads get.
  void SetSpriteKey(SlotId slot, Colour colour);
  void DrawSprite(SlotId slot, int x, int y) { Draw(slot, x, y, false); }
  void DrawSpriteKeyed(SlotId slot, int x, int y) { Draw(slot, x, y, true); }
  void FillScreen(Colour colour);

  std::uint32_t default_key() const { return default_key_; }
  const SpriteRecord* Find(SlotId slot) { return sprites_.FindSlot(slot); }

  void OnScreenReleased() override;

 private:
  void Draw(SlotId slot, int x, int y, bool keyed);
  // Loads a picture into a slot; `name` says in the log where it came from.
  std::int64_t Load(SlotId slot, std::span<const std::uint8_t> data, int mode,
                    const std::string& name);
  // Pixel bytes held by the sprites in use.
  std::size_t BytesHeld();

  Screen& screen_;
  platform::FileSystem& file_system_;
  std::size_t max_total_bytes_;
  SlotTable<SpriteRecord> sprites_;
  std::uint32_t default_key_ = 0;
};

}  // namespace grumbol
