// The settings file as the player and the game meet it: written and read back, values out of
// range clamped, a damaged file read as far as it can be, the command line over it; where
// screenshots go; and the mouse speed.

#include "game/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "game/command_line.h"
#include "game/folders.h"
#include "platform/motion_scale.h"
#include "tests/support/temp_dir.h"

namespace grumbol::game {
namespace {

TEST(Settings, WrittenWholeReadBackClampedAndADamagedFileLeavesTheDefaults) {
  testing::TempDir dir;
  const std::string path = SettingsPath(dir.File("config"), "/nowhere");
  EXPECT_EQ(path, dir.File("config/grumbol/settings.conf"));
  EXPECT_EQ(SettingsPath("relative", "/home/ina"), "/home/ina/.config/grumbol/settings.conf");
  EXPECT_EQ(LoadSettings(path).settings, Settings{});  // no file: the defaults, said nowhere
  EXPECT_EQ(LoadSettings(path).problem, "");

  const Settings chosen{.mouse_speed = 50,
                        .desktop_motion = true,
                        .full_screen = false,
                        .window_width = 1300,
                        .window_height = 900};
  ASSERT_TRUE(SaveSettings(path, chosen));  // its folder made
  EXPECT_EQ(LoadSettings(path).settings, chosen);
  EXPECT_FALSE(std::filesystem::exists(path + ".partial"));

  const ReadSettings clamped = ParseSettings(
      "mouse_speed = 99999999999999999999999\r\n  window_width=-7\nfull_screen = no\n");
  EXPECT_EQ(
      clamped.settings,
      (Settings{
          .mouse_speed = 400, .full_screen = false, .window_width = 320, .window_height = 768}));
  EXPECT_EQ(clamped.problem, "");

  // Binary garbage, a line without '=', an unknown key: said once, the rest read.
  const ReadSettings damaged =
      ParseSettings(std::string("\x7f\0\xff\x01", 4) + "\nmouse_speed 50\ncolour = red\n" +
                    "window_height = 1000\nfull_screen = maybe\n");
  EXPECT_EQ(damaged.problem, "line 1 is not 'key = value' of a setting");
  EXPECT_EQ(damaged.settings, (Settings{.window_height = 1000}));
  testing::WriteFileBytes(path, std::string(100'000, 'x'));
  EXPECT_EQ(LoadSettings(path).settings, Settings{});
  EXPECT_EQ(LoadSettings(path).problem, "too large for a settings file");
  EXPECT_EQ(LoadSettings(dir.File("config")).problem, "not a regular file");

  const CommandLine window =
      CommandLine::Parse({"--fullscreen", "--window", "--mouse-speed", "25"});
  EXPECT_EQ(window.full_screen, false);
  EXPECT_EQ(window.mouse_speed, 25);
  EXPECT_EQ(CommandLine::Parse({"--mouse-speed", "24"}).action, CommandLine::Action::kError);
  EXPECT_EQ(CommandLine::Parse({}).full_screen, std::nullopt);  // the file decides
}

TEST(Settings, ScreenshotsGoToThePicturesFolderTheDesktopNames) {
  const char* german =
      "# written by xdg-user-dirs\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
      "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
  EXPECT_EQ(ScreenshotFolder("", german, "/home/ina"), "/home/ina/Bilder/Grumbol");
  EXPECT_EQ(ScreenshotFolder("/srv/shots", german, "/home/ina"), "/srv/shots/Grumbol");
  EXPECT_EQ(ScreenshotFolder("", "XDG_PICTURES_DIR=\"/media/fotos\"", "/home/ina"),
            "/media/fotos/Grumbol");
  EXPECT_EQ(ScreenshotFolder("relative", "XDG_PICTURES_DIR=\"Bilder\"", "/home/ina"),
            "/home/ina/Pictures/Grumbol");
}

TEST(MotionScale, ScalesCountsAndCarriesTheRestOverInBothDirections) {
  const auto moved = [](int percent, int counts, int times) {
    platform::MotionScale scale(percent);
    int total = 0;
    for (int i = 0; i < times; ++i) total += scale.Scale(counts);
    return total;
  };
  EXPECT_EQ(moved(100, 100, 1), 100);
  EXPECT_EQ(moved(50, 100, 1), 50);
  EXPECT_EQ(moved(50, 1, 10), 5);  // slow movements are not lost
  EXPECT_EQ(moved(50, -1, 10), -5);
  EXPECT_EQ(moved(25, 3, 4), 3);
  EXPECT_EQ(moved(400, -2, 1), -8);
  platform::MotionScale back_and_forth(50);
  EXPECT_EQ(back_and_forth.Scale(1) + back_and_forth.Scale(-1), 0);
}

}  // namespace
}  // namespace grumbol::game
