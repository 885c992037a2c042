#include "video/sprites.h"

#include <gtest/gtest.h>

#include <array>

#include "tests/support/bmp_writer.h"
#include "tests/support/headless_screen.h"
#include "tests/support/temp_dir.h"

namespace grumbol {
namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF;

// An open screen with sprites from pictures made here.
struct SpriteFixture : testing::SpriteScreen {
  // A picture whose pixel (x, y) is pixel(x, y), in the screen's pixel size.
  std::uint8_t Prepare(int width, int height, std::uint32_t (*pixel)(int, int)) {
    SpritePicture picture{.width = width,
                          .height = height,
                          .depth = screen.depth(),
                          .pixels = Surface(width, height, BytesPerPixel(screen.depth()))};
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) picture.pixels.SetPixel(x, y, pixel(x, y));
    }
    return Keep(std::move(picture));
  }
  std::uint32_t At(int x, int y) { return screen.target()->PixelAt(x, y); }
};

// Each pixel names its own column and row, so a copy shows where every pixel came from.
std::uint32_t Numbered(int x, int y) { return 0x100000u | static_cast<std::uint32_t>(y << 8 | x); }

TEST(SpriteDrawing, ClipsAtTheLeftAndRightEdges) {
  SpriteFixture f;
  const auto fish = f.Prepare(97, 32, Numbered);
  ASSERT_NE(f.Load(11, fish), 0);

  f.sprites.DrawSprite(11, -120, 100);
  f.sprites.DrawSprite(11, 1024, 100);
  for (int x : {0, 1, 1023}) EXPECT_EQ(f.At(x, 100), 0u);

  f.sprites.DrawSprite(11, -96, 200);  // only the last column, at column 0
  EXPECT_EQ(f.At(0, 200), Numbered(96, 0));
  EXPECT_EQ(f.At(1, 200), 0u);

  f.sprites.DrawSprite(11, -50, 300);  // columns 50..96 at 0..46
  EXPECT_EQ(f.At(0, 300), Numbered(50, 0));
  EXPECT_EQ(f.At(46, 331), Numbered(96, 31));
  EXPECT_EQ(f.At(47, 300), 0u);

  f.sprites.DrawSprite(11, 1000, 400);  // the first 24 columns
  EXPECT_EQ(f.At(1000, 400), Numbered(0, 0));
  EXPECT_EQ(f.At(1023, 431), Numbered(23, 31));
  EXPECT_EQ(f.At(999, 400), 0u);
  EXPECT_EQ(f.At(1000, 432), 0u);
}

TEST(SpriteDrawing, ClipsAtTheTopAndBottomEdgesAndCorners) {
  SpriteFixture f;
  const auto cross = f.Prepare(33, 33, Numbered);
  f.Load(0, cross);
  f.sprites.DrawSpriteKeyed(0, -16, -16);  // the pointer at (0, 0)
  EXPECT_EQ(f.At(0, 0), Numbered(16, 16));
  EXPECT_EQ(f.At(16, 16), Numbered(32, 32));
  EXPECT_EQ(f.At(17, 0), 0u);

  f.sprites.DrawSprite(0, 1023 - 16, 767 - 16);  // the pointer at (1023, 767)
  EXPECT_EQ(f.At(1023, 767), Numbered(16, 16));
  EXPECT_EQ(f.At(1007, 751), Numbered(0, 0));

  f.sprites.DrawSprite(0, 500, -33);
  f.sprites.DrawSprite(0, 500, 768);
  EXPECT_EQ(f.At(500, 0), 0u);
  EXPECT_EQ(f.At(500, 767), 0u);
}

TEST(SpriteDrawing, KeyedDrawingSkipsExactlyTheKeyPixels) {
  SpriteFixture f;
  const auto picture = f.Prepare(4, 1, [](int x, int) -> std::uint32_t {
    return std::array<std::uint32_t, 4>{0x000000, kMagenta, 0xFE00FF, 0x123456}[x];
  });
  f.sprites.FillScreen(0x00FF00);  // green everywhere: pixel 0x00FF00 at layout 7
  f.Load(1, picture);
  f.sprites.DrawSpriteKeyed(1, 10, 10);  // default key: black is transparent
  EXPECT_EQ(f.At(10, 10), 0x00FF00u);
  EXPECT_EQ(f.At(11, 10), kMagenta);

  f.sprites.SetSpriteKey(1, kMagenta);
  f.sprites.DrawSpriteKeyed(1, 10, 20);
  EXPECT_EQ(f.At(10, 20), 0u);
  EXPECT_EQ(f.At(11, 20), 0x00FF00u);
  EXPECT_EQ(f.At(12, 20), 0xFE00FFu);  // one step off the key is drawn
  EXPECT_EQ(f.At(13, 20), 0x123456u);

  f.sprites.DrawSprite(1, 10, 30);  // opaque: everything, key or not
  EXPECT_EQ(f.At(10, 30), 0u);
  EXPECT_EQ(f.At(11, 30), kMagenta);

  // A long row exercises the four-at-a-time path and its tail.
  const auto wide = f.Prepare(1024, 2, [](int x, int y) -> std::uint32_t {
    return (x * 7 + y) % 3 == 0 ? kMagenta : static_cast<std::uint32_t>(x + 1);
  });
  f.Load(2, wide);
  f.sprites.SetSpriteKey(2, kMagenta);
  f.sprites.DrawSpriteKeyed(2, -1, 100);
  for (int x = 0; x < 1023; ++x) {
    const int sx = x + 1;
    const std::uint32_t expected =
        (sx * 7) % 3 == 0 ? 0x00FF00u : static_cast<std::uint32_t>(sx + 1);
    ASSERT_EQ(f.At(x, 100), expected) << x;
  }
}

TEST(SpriteDrawing, DefaultKeyAppliesToLaterLoadsOnly) {
  SpriteFixture f;
  const auto picture =
      f.Prepare(2, 1, [](int x, int) -> std::uint32_t { return x == 0 ? kMagenta : 0; });
  f.Load(1, picture);
  f.sprites.SetSpriteKey(kDynamicSlot, kMagenta);
  f.Load(2, picture);
  f.sprites.FillScreen(0x0000FF);  // red, as pixel 0xFF0000
  f.sprites.DrawSpriteKeyed(1, 0, 0);
  f.sprites.DrawSpriteKeyed(2, 0, 1);
  EXPECT_EQ(f.At(0, 0), kMagenta);  // loaded with the old key, black
  EXPECT_EQ(f.At(1, 0), 0xFF0000u);
  EXPECT_EQ(f.At(0, 1), 0xFF0000u);  // loaded with the new key, magenta
  EXPECT_EQ(f.At(1, 1), 0u);
}

TEST(SpriteDrawing, NothingIsDrawnWhileInTheBackgroundButFillsStillHappen) {
  SpriteFixture f;
  f.Load(1, f.Prepare(8, 8, Numbered));
  f.display.InjectEvent(platform::WindowEvent::kFocusLost);
  f.screen.ShowFrame();
  f.sprites.DrawSprite(1, 0, 0);
  EXPECT_EQ(f.At(0, 0), 0u);
  f.sprites.FillScreen(0x0000FF);
  EXPECT_EQ(f.At(0, 0), 0xFF0000u);  // red at layout 7
}

TEST(ColourToPixel, FollowsTheScreensDepthAndLayout) {
  testing::HeadlessScreen f;
  Sprites sprites(f.screen, f.files);
  EXPECT_EQ(sprites.ColourToPixel(255, 0, 255), 0u);  // no screen yet
  sprites.SetSpriteKey(kDynamicSlot, kMagenta);
  EXPECT_EQ(sprites.default_key(), 0u);

  f.Open();
  EXPECT_EQ(sprites.ColourToPixel(255, 0, 255), 0xFF00FFu);
  EXPECT_EQ(sprites.ColourToPixel(2, 121, 234), 0x0279EAu);
  f.screen.EnterScreenMode(1024, 768, 16, "x");
  EXPECT_EQ(sprites.ColourToPixel(255, 0, 255), 0xF81Fu);
  EXPECT_EQ(sprites.ColourToPixel(0, 255, 0), 0x07E0u);
  f.screen.EnterScreenMode(1024, 768, 15, "x");
  EXPECT_EQ(sprites.ColourToPixel(255, 0, 255), 0x7C1Fu);
  f.screen.EnterScreenMode(1024, 768, 24, "x");
  EXPECT_EQ(sprites.ColourToPixel(2, 121, 234), 0x0279EAu);
}

TEST(SpriteStore, SlotsFollowLoadsFailuresAndTheScreen) {
  SpriteFixture f;
  testing::TempDir dir;
  const auto picture = f.Prepare(4, 4, Numbered);
  ASSERT_EQ(f.Load(5, picture), 1);
  EXPECT_EQ(f.sprites.LoadSpriteFile(5, dir.File("missing.qz"), 0), 0);
  EXPECT_NE(f.sprites.Find(5), nullptr);  // a file that cannot be read leaves the slot alone

  const std::uint8_t junk[] = {'X', 'Y', 'Z'};
  EXPECT_EQ(f.sprites.LoadSpriteData(5, junk, 0), 0);
  EXPECT_EQ(f.sprites.Find(5), nullptr);  // data that cannot be loaded empties it

  const std::int64_t id = f.Load(kDynamicSlot, picture);
  EXPECT_GT(id, kMaxSlotNumber);
  EXPECT_NE(f.sprites.Find(static_cast<SlotId>(id)), nullptr);
  EXPECT_EQ(f.sprites.LoadSpriteData(kDynamicSlot, junk, 0), 0);

  f.Load(7, picture);
  f.screen.LeaveScreenMode();
  EXPECT_EQ(f.sprites.Find(7), nullptr);
  EXPECT_EQ(f.sprites.Find(static_cast<SlotId>(id)), nullptr);
  f.sprites.FillScreen(0);  // no screen: nothing to fill, no crash
  f.sprites.DrawSprite(7, 0, 0);
}

TEST(SpriteStore, PicturesPastTheMemoryAllSpritesMayHoldAreRefused) {
  testing::HeadlessScreen rig;
  rig.Open();
  Sprites sprites(rig.screen, rig.files, std::size_t{10} << 20);
  // 62 bytes whose header claims a 1024x1024 picture that needs no pixel data: 4 MiB here.
  const std::vector<std::uint8_t> hostile =
      testing::MakeBmp({.width = 1024, .height = 1024, .bits = 0});
  const std::vector<std::uint8_t> small =
      testing::Picture24(4, 4, [](int, int) { return 0x123456u; });
  EXPECT_EQ(sprites.LoadSpriteData(1, hostile, 0), 1);
  EXPECT_EQ(sprites.LoadSpriteData(2, hostile, 0), 1);
  EXPECT_EQ(sprites.LoadSpriteData(3, hostile, 0), 0);
  EXPECT_EQ(sprites.Find(3), nullptr);
  EXPECT_EQ(sprites.LoadSpriteData(2, hostile, 0), 1)
      << "a slot's old picture is not counted against its new one";
  EXPECT_EQ(sprites.LoadSpriteData(4, small, 0), 1);
  sprites.DiscardSprite(1);
  EXPECT_EQ(sprites.LoadSpriteData(3, hostile, 0), 1) << "a discarded picture gives its room back";
  sprites.DrawSprite(3, 0, 0);
  EXPECT_EQ(rig.screen.target()->PixelAt(0, 0), 0u);
}

}  // namespace
}  // namespace grumbol
