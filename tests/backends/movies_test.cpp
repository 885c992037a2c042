#include "audio/movies.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "platform/gstreamer/gst_movie_player.h"
#include "platform/mapped_file_system.h"
#include "tests/support/headless_screen.h"
#include "tests/support/movie_clips.h"
#include "tests/support/temp_dir.h"
#include "video/blit.h"

// For the sanitizer build. GLib keeps the arrays its library constructor made once GStreamer
// has outgrown them (for lock-free readers), and LeakSanitizer reports them. Only allocations
// made by shared-library constructors are exempted; seeing those needs full stacks, as GLib
// has no frame pointers.
extern "C" const char* __lsan_default_suppressions() { return "leak:_dl_init\n"; }
extern "C" const char* __lsan_default_options() { return "fast_unwind_on_malloc=0"; }

namespace grumbol {
namespace {

constexpr std::uint32_t kBack = 0x102030, kWhite = 0xFFFFFF, kBlack = 0;

bool Near(std::uint32_t a, std::uint32_t b) {
  auto off = [&](int shift) {
    return std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)) > 12;
  };
  return !off(0) && !off(8) && !off(16);
}

struct MovieFixture : testing::HeadlessScreen {
  MovieFixture() {
    Open();
    FillPixels(*screen.target(), kBack);
    EXPECT_EQ(movies.StartMovies(), 1);
  }
  std::string Clip(const std::string& name, const testing::ClipShape& shape) {
    EXPECT_TRUE(testing::MakeClip(dir.File(name), shape));
    return dir.File(name);
  }
  platform::GstMovie& Gst(SlotId slot) {
    return dynamic_cast<platform::GstMovie&>(*movies.Find(slot));
  }
  gint64 Position(SlotId slot) {
    gint64 position = -1;
    gst_element_query_position(Gst(slot).playbin(), GST_FORMAT_TIME, &position);
    return position;
  }
  std::uint32_t Shown(int x, int y) { return display.last_frame().PixelAt(x, y); }
  // Presents frames until the presented pixel (x, y) is near `want`, for up to 5 s.
  bool PresentUntil(int x, int y, std::uint32_t want) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(std::chrono::milliseconds(2))) {
      screen.ShowFrame();
      if (Near(Shown(x, y), want)) return true;
    }
    return false;
  }

  testing::TempDir dir;
  platform::MappedFileSystem game_files{files, {{"GFX\\", dir.File("GFX/")}}};  // as installed
  platform::GstMoviePlayer player{dir.File("GFX"), ".qzm"};  // opened ahead from there
  Movies movies{screen, player, game_files};
};

// The movies of the GFX folder are opened ahead, each taken once by the load that asks for it.
TEST(Movies, LoadTellsTheSizeTakesTheVolumeAndLeavesUnplayableSlotsEmpty) {
  MovieFixture f;
  std::filesystem::create_directory(f.dir.File("GFX"));
  f.Clip("GFX/Movie1.qzm", {.width = 96, .height = 40});
  f.Clip("GFX/Movie2.qzm", {.width = 32, .height = 24, .audio = false});
  const std::string sound_only = f.Clip("sound.ogg", {.video = false});
  testing::WriteFileBytes(f.dir.File("noise.qzm"), std::string(5000, '\x5a'));
  testing::WriteFileBytes(f.dir.File("GFX/Noise.qzm"), std::string(5000, '\x5a'));

  EXPECT_EQ(f.movies.LoadMovieFile(8, "GFX\\Movie1.qzm"), 1);
  EXPECT_EQ(f.movies.MoviePictureWidth(8), 96);
  EXPECT_EQ(f.movies.MoviePictureHeight(8), 40);
  EXPECT_EQ(f.movies.LoadMovieFile(11, "GFX\\Movie2.qzm"), 1);
  EXPECT_EQ(f.movies.MoviePictureWidth(11), 32);
  EXPECT_EQ(f.movies.LoadMovieFile(12, "GFX\\Movie1.qzm"), 1);  // opened again
  EXPECT_EQ(f.movies.MoviePictureWidth(12), 96);
  EXPECT_EQ(f.movies.LoadMovieFile(13, "GFX\\Noise.qzm"), 0);
  f.movies.SetMovieVolume(8, 70, 0);  // -3.1 dB on the volume table
  gdouble gain = 0;
  g_object_get(f.Gst(8).playbin(), "volume", &gain, nullptr);
  EXPECT_NEAR(gain, std::pow(10.0, -310 / 2000.0), 1e-7);
  EXPECT_EQ(f.movies.LoadMovieFile(9, sound_only), 1);
  EXPECT_EQ(f.movies.MoviePictureHeight(9), -1);
  EXPECT_EQ(f.movies.PlayMovieSlot(9, 0), 1);
  // A file that cannot be played empties the slot it was loaded into.
  EXPECT_EQ(f.movies.LoadMovieFile(8, f.dir.File("noise.qzm")), 0);
  EXPECT_EQ(f.movies.PlayMovieSlot(8, 0), 0);
  EXPECT_EQ(f.movies.LoadMovieFile(10, f.dir.File("missing.qzm")), 0);
}

TEST(Movies, PlayStartsAtTheBeginningAndStopRewindsKeepingThePicture) {
  MovieFixture f;
  // Black, white, black, white: a quarter of a second each.
  ASSERT_EQ(f.movies.LoadMovieFile(
                8, f.Clip("blink.ogg", {.pattern = "blink", .rgb = kWhite, .audio = false})),
            1);
  f.screen.ShowFrame();
  EXPECT_EQ(f.Shown(0, 0), kBack);  // loaded, not shown
  ASSERT_EQ(f.movies.PlayMovieSlot(8, 0), 1);
  ASSERT_TRUE(f.PresentUntil(0, 0, kWhite));
  ASSERT_EQ(f.movies.PlayMovieSlot(8, 0), 1);  // playing: starts again
  ASSERT_TRUE(f.PresentUntil(0, 0, kBlack));
  EXPECT_LT(f.Position(8), 250 * GST_MSECOND);
  for (std::uint32_t next : {kWhite, kBlack, kWhite}) ASSERT_TRUE(f.PresentUntil(0, 0, next));
  // The last picture stays, also once stopped; nothing loops.
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  f.movies.StopMovieSlot(8);
  f.screen.ShowFrame();
  EXPECT_TRUE(Near(f.Shown(0, 0), kWhite));
  // The rewound movie settles at its beginning, ready for the next play.
  ASSERT_EQ(gst_element_get_state(f.Gst(8).playbin(), nullptr, nullptr, 5 * GST_SECOND),
            GST_STATE_CHANGE_SUCCESS);
  EXPECT_EQ(f.Position(8), 0);
}

TEST(Movies, PicturesLieOverThePresentedFrameNewestOnTopNeverInTheBackBuffer) {
  MovieFixture f;
  constexpr std::uint32_t kRose = 0xE04080, kLime = 0x60D020;
  ASSERT_EQ(f.movies.LoadMovieFile(8, f.Clip("a.ogg", {.frames = 8, .rgb = kRose})), 1);
  ASSERT_EQ(f.movies.LoadMovieFile(
                9, f.Clip("b.ogg", {.width = 32, .height = 24, .frames = 8, .rgb = kLime})),
            1);
  f.movies.PlayMovieSlot(8, 0);
  ASSERT_TRUE(f.PresentUntil(0, 0, kRose));
  EXPECT_TRUE(Near(f.Shown(63, 47), kRose));
  EXPECT_TRUE(f.Shown(64, 0) == kBack && f.Shown(0, 48) == kBack);
  EXPECT_EQ(f.screen.target()->PixelAt(0, 0), kBack);
  f.movies.PlayMovieSlot(9, 0);
  ASSERT_TRUE(f.PresentUntil(0, 0, kLime));
  EXPECT_TRUE(Near(f.Shown(40, 30), kRose));
  f.movies.PlayMovieSlot(8, 0);  // played again: on top again
  EXPECT_TRUE(f.PresentUntil(0, 0, kRose));
  f.movies.EndMovies();
  f.screen.ShowFrame();
  EXPECT_EQ(f.Shown(0, 0), kBack);
}

}  // namespace
}  // namespace grumbol
