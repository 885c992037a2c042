#pragma once

// The game's screen on the headless display and a manual clock, with real files; and the same
// with sprites whose pictures are made in memory. Shared by the tests and benchmarks of the
// screen's users.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <utility>

#include "platform/headless/headless_display.h"
#include "platform/null/manual_clock.h"
#include "platform/posix/posix_file_system.h"
#include "video/screen.h"
#include "video/sprites.h"

namespace grumbol::testing {

struct HeadlessScreen {
  explicit HeadlessScreen(platform::HeadlessDisplay::Options options = {})
      : display(clock, options) {}
  // Starts video and opens the 1024x768 32-bit screen, as the game does.
  void Open() {
    screen.StartVideo();
    screen.EnterScreenMode(1024, 768, 32, "test");
  }

  platform::ManualClock clock;
  platform::HeadlessDisplay display;
  Screen screen{display, clock};
  platform::PosixFileSystem files;
};

// An open screen whose sprites load from memory: Keep() a picture, then Load() it into slots
// by the tag it got.
struct SpriteScreen : HeadlessScreen {
  SpriteScreen() {
    Open();
    sprites.RegisterPictureDecoder([this](std::span<const std::uint8_t> data, int, PixelLayout,
                                          int) -> std::optional<SpritePicture> {
      if (data.size() == 2 && data[0] == 'T' && pictures.count(data[1]) != 0)
        return pictures.at(data[1]);
      return std::nullopt;
    });
  }
  std::uint8_t Keep(SpritePicture picture) {
    const auto tag = static_cast<std::uint8_t>(pictures.size());
    pictures[tag] = std::move(picture);
    return tag;
  }
  std::int64_t Load(SlotId slot, std::uint8_t tag) {
    const std::uint8_t data[2] = {'T', tag};
    return sprites.LoadSpriteData(slot, data, 0);
  }

  Sprites sprites{screen, files};
  std::map<std::uint8_t, SpritePicture> pictures;
};

}  // namespace grumbol::testing
