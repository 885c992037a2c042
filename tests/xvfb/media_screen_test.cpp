// The display layer as a player meets it: the full screen opened on a real X server, an
// opaque and a colour-keyed picture loaded from BMP files, drawn with a text line, presented,
// and read back from the X screen.

#include <gtest/gtest.h>

#include "platform/posix/posix_file_system.h"
#include "platform/posix/system_clock.h"
#include "platform/sdl/sdl_display.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/game_font.h"
#include "tests/support/temp_dir.h"
#include "tests/xvfb/screenshot.h"
#include "video/screen.h"
#include "video/sprites.h"
#include "video/text_drawing.h"

namespace grumbol {
namespace {

using testing::Near;
using testing::Rgb;

constexpr Rgb kWater{0, 40, 140};
constexpr Rgb kSand{200, 180, 100};
constexpr Rgb kFish{40, 220, 60};
constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kInk{2, 121, 234};  // the colour 0xEA7902

// A 24-bit picture file of the colour at each point, rows counted from the top.
void WritePicture(const std::string& path, int width, int height, auto colour_at) {
  const auto hex = [&](int x, int y) {
    const Rgb c = colour_at(x, y);
    return static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b);
  };
  testing::WriteFileBytes(path, testing::Picture24(width, height, hex));
}

TEST(XMediaScreen, PicturesAndTextReachTheScreen) {
  testing::TempDir dir;
  WritePicture(dir.File("Back.qz"), 1024, 768, [](int, int y) { return y < 384 ? kWater : kSand; });
  WritePicture(dir.File("Fish.qz"), 64, 64, [](int x, int y) {
    return x >= 16 && x < 48 && y >= 16 && y < 48 ? kFish : kMagenta;
  });

  platform::SdlDisplay display;
  platform::SystemClock clock;
  platform::PosixFileSystem files;
  Screen screen(display, clock);
  Sprites sprites(screen, files);
  TextDrawing text(testing::GameFont());
  ASSERT_NE(screen.StartVideo(), 0);
  ASSERT_EQ(screen.EnterScreenMode(1024, 768, 32, "Grumbol"), 1);
  ASSERT_NE(sprites.LoadSpriteFile(1, dir.File("Back.qz"), 0), 0);
  ASSERT_NE(sprites.LoadSpriteFile(11, dir.File("Fish.qz"), 0), 0);
  sprites.SetSpriteKey(11, 0xFF00FF);

  for (int frame = 0; frame < 3; ++frame) {
    sprites.DrawSprite(1, 0, 0);
    sprites.DrawSpriteKeyed(11, 300, 200);
    sprites.DrawSprite(11, 500, 200);
    sprites.DrawSpriteKeyed(11, -32, 700);  // half off the left edge
    ASSERT_EQ(text.BeginTextDrawing(screen.BackBufferTarget()), 1);
    text.SetBackgroundMode(1);
    text.SetInkColour(0xEA7902);
    EXPECT_EQ(text.DrawTextAt(0, 0, "Punkte:120"), 84);
    text.EndTextDrawing();
    screen.ShowFrame();
  }

  const testing::Screenshot shot("media_screen");
  ASSERT_TRUE(shot.Taken());
  EXPECT_TRUE(Near(shot.At(10, 300), kWater));
  EXPECT_TRUE(Near(shot.At(10, 600), kSand));
  EXPECT_TRUE(Near(shot.At(305, 205), kWater));  // keyed: magenta left out
  EXPECT_TRUE(Near(shot.At(332, 232), kFish));
  EXPECT_TRUE(Near(shot.At(505, 205), kMagenta));  // opaque: everything copied
  EXPECT_TRUE(Near(shot.At(532, 232), kFish));
  EXPECT_TRUE(Near(shot.At(0, 716), kFish));   // source column 32 at screen column 0
  EXPECT_TRUE(Near(shot.At(16, 716), kSand));  // source column 48 is magenta again

  int ink_pixels = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 84; ++x) ink_pixels += Near(shot.At(x, y), kInk) ? 1 : 0;
  }
  EXPECT_GT(ink_pixels, 60);  // the bold glyphs' solid strokes
  for (int x = 84; x < 200; ++x) ASSERT_TRUE(Near(shot.At(x, 8), kWater)) << x;

  screen.LeaveScreenMode();
  screen.EndVideo();
}

}  // namespace
}  // namespace grumbol
