#include "video/sprites.h"

#include <gtest/gtest.h>

#include "tests/support/bmp_writer.h"
#include "tests/support/headless_screen.h"

namespace grumbol {
namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF, kGreen = 0x00FF00;

// An open screen with sprites from pictures made here.
struct SpriteFixture : testing::SpriteScreen {
  // Loads into `slot` a 24-bit BMP picture whose pixel (x, y) is the colour pixel(x, y), which
  // on the 32-bit screen is also its pixel value.
  void Load(SlotId slot, int width, int height, auto pixel) {
    ASSERT_EQ(sprites.LoadSpriteData(slot, testing::Picture24(width, height, pixel), 0), 1);
  }
  std::uint32_t At(int x, int y) { return screen.target()->PixelAt(x, y); }
};

// Each pixel names its own column and row, so a copy shows where every pixel came from.
std::uint32_t Numbered(int x, int y) { return 0x100000u | static_cast<std::uint32_t>(y << 8 | x); }

TEST(SpriteDrawing, ClipsAtEveryEdgeAndCorner) {
  int i = 0;
  for (const auto& [left, top] : {std::pair{-120, 100},
                                  {1024, 100},
                                  {-96, 200},
                                  {-50, 300},
                                  {1000, 400},
                                  {-48, -16},
                                  {1023 - 48, 767 - 16},
                                  {500, -32},
                                  {500, 767},
                                  {500, 768},
                                  {-97, -32},
                                  {0, 0}}) {
    SpriteFixture f;
    f.Load(11, 97, 32, Numbered);
    (i++ % 2 ? f.sprites.DrawSpriteKeyed(11, left, top) : f.sprites.DrawSprite(11, left, top));
    int wrong = 0;
    for (int y = 0; y < 768; ++y) {
      for (int x = 0; x < 1024; ++x) {
        const int sx = x - left, sy = y - top;
        const bool inside = sx >= 0 && sx < 97 && sy >= 0 && sy < 32;
        wrong += f.At(x, y) != (inside ? Numbered(sx, sy) : 0u);
      }
    }
    EXPECT_EQ(wrong, 0) << left << "," << top;
  }
}

TEST(SpriteDrawing, KeyedDrawingSkipsExactlyThePixelsOfTheKeyTheSpriteWasLoadedWith) {
  enum Key { kDefault, kSprite, kDefaultBeforeLoad, kDefaultAfterLoad };
  const struct {
    Key key;  // where magenta was made the key; by default black is
    bool keyed;
    std::uint32_t expected[4];
  } cases[] = {{kDefault, true, {kGreen, kMagenta, 0xFE00FF, 0x123456}},
               {kSprite, true, {0, kGreen, 0xFE00FF, 0x123456}},  // one step off is drawn
               {kSprite, false, {0, kMagenta, 0xFE00FF, 0x123456}},
               {kDefaultBeforeLoad, true, {0, kGreen, 0xFE00FF, 0x123456}},
               {kDefaultAfterLoad, true, {kGreen, kMagenta, 0xFE00FF, 0x123456}}};
  for (const auto& c : cases) {
    SpriteFixture f;
    f.sprites.FillScreen(0x00FF00);  // green, the same pixel in layout 7
    if (c.key == kDefaultBeforeLoad) f.sprites.SetSpriteKey(kDynamicSlot, kMagenta);
    const std::uint32_t row[] = {0x000000, kMagenta, 0xFE00FF, 0x123456};
    f.Load(1, 4, 1, [&](int x, int) { return row[x]; });
    if (c.key == kDefaultAfterLoad) f.sprites.SetSpriteKey(kDynamicSlot, kMagenta);
    if (c.key == kSprite) f.sprites.SetSpriteKey(1, kMagenta);
    (c.keyed ? f.sprites.DrawSpriteKeyed(1, 10, 10) : f.sprites.DrawSprite(1, 10, 10));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(f.At(10 + x, 10), c.expected[x]) << c.key << x;
  }
}

TEST(SpriteDrawing, NothingIsDrawnInTheBackgroundButFillsStillHappen) {
  SpriteFixture f;
  f.Load(1, 8, 8, Numbered);
  f.display.InjectEvent(platform::WindowEvent::kFocusLost);
  f.screen.ShowFrame();
  f.sprites.DrawSprite(1, 0, 0);
  EXPECT_EQ(f.At(0, 0), 0u);
  f.sprites.FillScreen(0x0000FF);
  EXPECT_EQ(f.At(0, 0), 0xFF0000u);
}

TEST(SpriteStore, SlotsFollowLoadsFailuresAndTheScreen) {
  SpriteFixture f;
  f.Load(5, 4, 4, Numbered);
  EXPECT_EQ(f.sprites.LoadSpriteFile(5, "/nonexistent/missing.qz", 0), 0);
  EXPECT_NE(f.sprites.Find(5), nullptr);  // a file that cannot be read leaves the slot alone
  const std::uint8_t junk[] = {'X', 'Y', 'Z'};
  EXPECT_EQ(f.sprites.LoadSpriteData(5, junk, 0), 0);
  EXPECT_EQ(f.sprites.Find(5), nullptr);  // data that cannot be loaded empties it
  EXPECT_EQ(f.sprites.LoadSpriteData(kDynamicSlot, junk, 0), 0);

  const std::int64_t id =
      f.sprites.LoadSpriteData(kDynamicSlot, testing::Picture24(2, 2, Numbered), 0);
  EXPECT_GT(id, kMaxSlotNumber);
  EXPECT_NE(f.sprites.Find(static_cast<SlotId>(id)), nullptr);
  f.screen.LeaveScreenMode();
  EXPECT_EQ(f.sprites.Find(static_cast<SlotId>(id)), nullptr);
  f.sprites.FillScreen(0);  // no screen: nothing to fill, no crash
  f.sprites.DrawSprite(5, 0, 0);
}

TEST(SpriteStore, PicturesPastTheMemoryAllSpritesMayHoldAreRefused) {
  testing::HeadlessScreen rig;
  rig.Open();
  Sprites sprites(rig.screen, rig.files, std::size_t{10} << 20);
  // 62 bytes whose header claims a 1024x1024 picture that needs no pixel data: 4 MiB here.
  const auto hostile = testing::MakeBmp({.width = 1024, .height = 1024, .bits = 0});
  const auto small = testing::Picture24(4, 4, [](int, int) { return 0x123456u; });
  EXPECT_EQ(sprites.LoadSpriteData(1, hostile, 0), 1);
  EXPECT_EQ(sprites.LoadSpriteData(2, hostile, 0), 1);
  EXPECT_EQ(sprites.LoadSpriteData(3, hostile, 0), 0);
  EXPECT_EQ(sprites.Find(3), nullptr);
  EXPECT_EQ(sprites.LoadSpriteData(2, hostile, 0), 1)
      << "a slot's old picture is not counted against its new one";
  EXPECT_EQ(sprites.LoadSpriteData(4, small, 0), 1);
  sprites.DiscardSprite(1);
  EXPECT_EQ(sprites.LoadSpriteData(3, hostile, 0), 1) << "a discarded picture gives its room back";
}

}  // namespace
}  // namespace grumbol
