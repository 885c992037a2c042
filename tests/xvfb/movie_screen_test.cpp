// A movie as a player meets it: loaded and played with GStreamer on the full screen of a real
// X server; its picture appears at the screen's top-left corner over the game's picture.

#include <gtest/gtest.h>

#include "audio/movies.h"
#include "platform/gstreamer/gst_movie_player.h"
#include "platform/posix/system_clock.h"
#include "platform/sdl/sdl_display.h"
#include "tests/support/movie_clips.h"
#include "tests/support/temp_dir.h"
#include "tests/xvfb/screenshot.h"
#include "video/blit.h"
#include "video/screen.h"

namespace grumbol {
namespace {

using testing::Near;
constexpr testing::Rgb kWater{0, 40, 140}, kRose{224, 64, 128};

TEST(XMovieScreen, PlayingMovieShowsAtTheTopLeft) {
  testing::TempDir dir;
  ASSERT_TRUE(
      testing::MakeClip(dir.File("Movie1.qzm"),
                        {.width = 160, .height = 120, .frames = 75, .fps = 25, .rgb = 0xE04080}));
  platform::SdlDisplay display;
  platform::SystemClock clock;
  platform::GstMoviePlayer player;
  Screen screen(display, clock);
  Movies movies(screen, player);
  ASSERT_NE(screen.StartVideo(), 0);
  ASSERT_NE(movies.StartMovies(), 0);
  ASSERT_EQ(screen.EnterScreenMode(1024, 768, 32, "Grumbol"), 1);
  ASSERT_EQ(movies.LoadMovieFile(8, dir.File("Movie1.qzm")), 1);
  ASSERT_EQ(movies.PlayMovieSlot(8, 0), 1);
  for (int frame = 0; frame < 60; ++frame) {
    movies.SetMovieVolume(8, 70, 0);
    FillPixels(*screen.target(), 0x00288C);  // kWater
    screen.ShowFrame();
  }

  const testing::Screenshot shot("movie_screen");
  ASSERT_TRUE(shot.Taken());
  EXPECT_TRUE(Near(shot.At(0, 0), kRose));
  EXPECT_TRUE(Near(shot.At(159, 119), kRose));
  EXPECT_TRUE(Near(shot.At(160, 60), kWater));
  EXPECT_TRUE(Near(shot.At(80, 120), kWater));
  movies.EndMovies();
}

}  // namespace
}  // namespace grumbol
