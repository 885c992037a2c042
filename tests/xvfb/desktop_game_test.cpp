// The built game on a desktop, as a player meets it: a virtual X server with a window manager
// (openbox). Another window takes the focus for a while and the game goes on; the dialogs come
// up centred with their frames, the game plays in a window, scaled, and Alt+Enter switches it
// to full screen and back.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "tests/xvfb/x_player.h"

namespace grumbol {
namespace {

using namespace testing;

constexpr const char* kGameWindow = "Daromirs Grumbol Game";

// Takes screenshots (for 20 s at most) until one satisfies `wanted`.
bool Eventually(const std::string& name, const std::function<bool(const Screenshot&)>& wanted) {
  return WaitUntil([&] {
    const Screenshot shot(name);
    return shot.Taken() && wanted(shot);
  });
}

// A dialog with its frame on the black desktop, centred to the pixel.
bool Centred(const Screenshot& shot) {
  const Box lit = Lit(shot);
  return !lit.Empty() && std::abs(lit.left + lit.right + 1 - shot.width()) <= 1 &&
         std::abs(lit.top + lit.bottom + 1 - shot.height()) <= 1;
}

bool AllBlack(const Screenshot& shot, Box region) { return Lit(shot, region).Empty(); }

// The game's window without its frame, where the window manager put it.
Box GameWindow() {
  const std::string info = RunProgram("xwininfo -name '" + std::string(kGameWindow) + "'").out;
  const auto field = [&](const char* name) {
    const std::size_t at = info.find(name);
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + std::strlen(name));
  };
  const int x = field("Absolute upper-left X:"), y = field("Absolute upper-left Y:");
  return Box{x, y, x + field("Width:") - 1, y + field("Height:") - 1};
}

// Whether the game's window has the focus within 20 s.
bool GameHasFocus() {
  return WaitUntil([] { return WindowShown(kGameWindow, true); });
}

// The octopus pictures that key 1 lays over the sea, top left and bottom left.
constexpr Box kOverlayTop{40, 30, 220, 170}, kOverlayBottom{40, 620, 220, 760};

TEST(XDesktop, AnotherWindowTakingTheFocusForTwoSecondsLeavesTheGameGoingOn) {
  const TempDir dir;
  const std::string replay = dir.File("focus.replay");
  // A damaged settings file: said once, and the game plays as it does by default.
  std::filesystem::create_directories(dir.path() / "config/grumbol");
  WriteFileBytes(dir.File("config/grumbol/settings.conf"),
                 std::string("\x89PNG\0\xff\n", 7) + "window_width = 99999999999999\nfull");
  GameProcess game(GRUMBOL_GAME, GRUMBOL_GFX, {"--record", replay},
                   {"GRUMBOL_LOG=1", "XDG_CONFIG_HOME=" + dir.File("config")});
  ASSERT_TRUE(game.Begin("Fokus"));

  // Key 1 is held as the other window takes the focus, and let go over that window.
  const Screenshot plain = Picture("desktop_focus_plain");
  ASSERT_FALSE(Bare(plain));
  Drive("keydown 1");
  EXPECT_TRUE(Eventually("desktop_focus_overlay", [&](const Screenshot& shot) {
    return SameShare(plain, shot, kOverlayTop) < 0.7 &&
           SameShare(plain, shot, kOverlayBottom) < 0.7;
  }));
  {
    const auto stolen = std::chrono::steady_clock::now();
    const FocusThief thief;
    ASSERT_TRUE(thief.HasFocus());
    Drive("keyup 1");
    std::this_thread::sleep_until(stolen + std::chrono::seconds(2));
  }
  ASSERT_TRUE(GameHasFocus()) << "the window manager gives the focus back as the other window goes";
  EXPECT_FALSE(WindowShown("Game Over"));

  // The game counted its steps meanwhile: 120 in two seconds, far fewer on a crowded machine,
  // none had it stopped. The focus comes back at the next step the game takes.
  std::string said;
  WaitUntil([&] {
    said = game.Errors();
    return said.find("focus gained", said.rfind("focus lost")) != std::string::npos;
  });
  unsigned lost = 0, gained = 0;
  const std::size_t lost_at = said.rfind("focus lost");
  const std::size_t gained_at = said.find("focus gained", lost_at);
  ASSERT_NE(gained_at, std::string::npos) << said;
  ASSERT_EQ(std::sscanf(said.c_str() + lost_at, "focus lost at step %u", &lost), 1);
  ASSERT_EQ(std::sscanf(said.c_str() + gained_at, "focus gained at step %u", &gained), 1);
  EXPECT_GE(gained - lost, 3u) << said;

  // The key let go meanwhile reads up: no overlay, once the game draws again. (Through a
  // Wayland compositor's X server the key may still read down when the game's window gets the
  // focus back on a busy machine, as that server says; not asked there.)
  ASSERT_TRUE(Drawing("desktop_focus_back"));
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* x = std::getenv("DISPLAY");
  if (wayland == nullptr || *wayland == '\0' || x == nullptr || *x == '\0') {
    const Screenshot back = Picture("desktop_focus_back");
    ASSERT_FALSE(Bare(back));
    EXPECT_GT(SameShare(plain, back, kOverlayTop), 0.85);
    EXPECT_GT(SameShare(plain, back, kOverlayBottom), 0.85);
  }

  // The game has the mouse again: the cross-hair follows it.
  EXPECT_TRUE(MoveCrossHair(replay, 500, 600));

  ASSERT_TRUE(GameHasFocus());
  EXPECT_EQ(game.End(), 0);
  EXPECT_EQ(game.Record(), "Fokus: 0\r\n");
  const std::string told = game.Errors();
  EXPECT_NE(told.find(": line 1 is not 'key = value' of a setting; the defaults stand\n"),
            std::string::npos)
      << told;
  EXPECT_EQ(told.find("settings: "), told.rfind("settings: ")) << told;
  // OpenGL would draw on the processor on a virtual X server: the game says it presents with
  // SDL's software renderer, and does.
  if (wayland == nullptr || *wayland == '\0') {
    for (const char* said : {"(an X server without direct rendering): presenting with SDL's "
                             "software renderer instead\n",
                             "video: SDL renderer 'software'"})
      EXPECT_NE(told.find(said), std::string::npos) << told;
  }
}

// The settings window: the mouse speed tried in its field, and what the player chose written
// into the settings file, the window's size kept.
TEST(XSettings, TheWindowTriesTheSpeedAndSavesTheChoices) {
  const TempDir dir;
  const std::filesystem::path config = dir.path() / "config";
  std::filesystem::create_directories(config / "grumbol");
  const std::string file = (config / "grumbol/settings.conf").string();
  WriteFileBytes(file, "window_width = 800\nwindow_height = 400\n");
  GameProcess window(GRUMBOL_GAME, "", {"--settings"}, {"XDG_CONFIG_HOME=" + config.string()});
  ASSERT_TRUE(WaitForWindow("Grumbol-Einstellungen"));
  // The field's blue, and its red cross-hair in the middle.
  const auto cross_x = [](const Screenshot& shot) {
    const Box red = OfColour(shot, [](Rgb c) { return c.r > 180 && c.g < 80 && c.b < 80; });
    return red.Empty() ? -1 : (red.left + red.right) / 2;
  };
  Box field;
  int middle = -1;
  EXPECT_TRUE(Eventually("settings_window",
                         [&](const Screenshot& shot) {
                           field = OfColour(shot, [](Rgb c) {
                             return std::abs(c.r - 13) < 4 && std::abs(c.g - 89) < 4 &&
                                    std::abs(c.b - 166) < 4;
                           });
                           middle = cross_x(shot);
                           return field.Width() == 400 && middle == field.left + 200;
                         }))
      << field.Width() << " " << middle - field.left;

  // Four steps up from 100 %: the pointer come over the field and moved 50 pixels there moves
  // the cross-hair 60. The speed, the desktop's motion and the window chosen by their keys, then
  // saved.
  Drive("key Right Right Right Right");
  const int y = (field.top + field.bottom) / 2;
  Drive("mousemove 0 0 mousemove " + std::to_string(field.left + 100) + " " + std::to_string(y) +
        " mousemove_relative -- 50 0");
  int moved = -1;
  EXPECT_TRUE(WaitUntil([&] {
    return (moved = cross_x(Screenshot("settings_tried"))) == middle + 60;
  })) << moved - middle;
  Drive("key alt+z alt+f alt+s");
  EXPECT_EQ(window.WaitForExit(), 0);
  const std::string saved = ReadFileBytes(file);
  for (const char* line : {"\nmouse_speed = 120\n", "\nmouse_motion = desktop\n",
                           "\nfull_screen = no\n", "\nwindow_width = 800\n"})
    EXPECT_NE(saved.find(line), std::string::npos) << saved;
}

// On a 1280x1024 desktop: the dialogs centred with their frames; the 1024x768 picture in a
// window, and at full screen filling a 4:3 area with black bars.
// Whether the game of `replay` says its cross-hair is at x, within a few seconds.
bool CrossHairAt(const std::string& replay, int x) {
  return WaitUntil([&] { return ReplaySoFar(replay).Last(" x") == x; }, 5);
}

TEST(XDesktopLarge, DialogsComeUpCentredAndTheGamePlaysInAWindowScaledAndAtFullScreen) {
  TempDir dir;
  const std::string replay = dir.File("window.replay");
  const std::filesystem::path pictures = dir.path() / "pictures";
  GameProcess game(GRUMBOL_GAME, GRUMBOL_GFX, {"--window", "--record", replay},
                   {"XDG_PICTURES_DIR=" + pictures.string()});
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game"));
  EXPECT_TRUE(Eventually("desktop_first_box", Centred));
  HoldKey("Return");
  ASSERT_TRUE(WaitForWindow(kGameWindow));
  EXPECT_TRUE(Eventually("desktop_name_dialog", [](const Screenshot& shot) {
    return Centred(shot) &&
           Lit(shot).bottom - Lit(shot).top + 1 > 130;  // the client area and a title bar
  }));
  ASSERT_TRUE(game.EnterName("Fenster"));
  ASSERT_TRUE(Drawing("desktop_playing"));

  // A window of the picture's own size, shown 1:1 inside its frame on the desktop.
  Box window;
  WaitUntil([&] { return (window = GameWindow()).Width() == 1024; });
  ASSERT_EQ(window.Width(), 1024);
  ASSERT_EQ(window.bottom - window.top + 1, 768);
  EXPECT_TRUE(Eventually("desktop_window", [&](const Screenshot& shot) {
    return AllBlack(shot, {0, 0, 60, 60}) &&
           !AllBlack(shot, {window.left, window.bottom - 9, window.left + 9, window.bottom}) &&
           !AllBlack(shot, {window.right - 9, window.top + 20, window.right, window.top + 29});
  }));
  // F12 saves the frame shown as a PNG picture, the same as the window shows it (but for what
  // moved meanwhile), into the player's pictures.
  HoldKey("F12");
  std::filesystem::path saved;
  WaitUntil([&] {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(pictures / "Grumbol", error))
      saved = entry.path();
    return !saved.empty() && Screenshot::OfFile(saved.string()).Taken();
  });
  const Screenshot frame = Screenshot::OfFile(saved.string());
  const Screenshot shown("desktop_window_f12");
  ASSERT_EQ(frame.width(), 1024) << saved;
  ASSERT_EQ(frame.height(), 768);
  EXPECT_TRUE(saved.filename().string().starts_with("grumbol-")) << saved;
  int same = 0;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      same += frame.At(x, y) == shown.At(window.left + x, window.top + y);
  EXPECT_GT(same, 1024 * 768 * 9 / 10) << same << " pixels the same";

  // The mouse is the game's in a window too, a pixel for each of its counts.
  const Screenshot still("desktop_window_still");
  const int from = ReplaySoFar(replay).Last(" x");
  RunShell("xdotool mousemove_relative -- 500 380");
  EXPECT_TRUE(CrossHairAt(replay, from + 500)) << ReplaySoFar(replay).Last(" x");
  EXPECT_TRUE(Eventually("desktop_window_aim", [&](const Screenshot& shot) {
    return SameShare(still, shot,
                     {window.left + 484, window.top + 364, window.left + 516, window.top + 396}) <
           0.8;
  }));

  // Made wide, the window shows the picture 533 pixels wide between black bars.
  ASSERT_EQ(RunShell("xdotool search --name '^" + std::string(kGameWindow) +
                     "$' windowsize --sync 800 400"),
            0);
  window = GameWindow();
  ASSERT_EQ(window.Width(), 800);
  EXPECT_TRUE(Eventually("desktop_window_wide", [&](const Screenshot& shot) {
    const int mid = (window.top + window.bottom) / 2;
    return AllBlack(shot, {window.left, window.top, window.left + 130, window.bottom}) &&
           AllBlack(shot, {window.right - 130, window.top, window.right, window.bottom}) &&
           !AllBlack(shot, {window.left + 136, mid, window.left + 140, mid}) &&
           !AllBlack(shot, {window.right - 140, mid, window.right - 136, mid});
  }));

  // Full screen: 1280x960 between bars of 32 rows.
  HoldKey("alt+Return");
  EXPECT_TRUE(Eventually("desktop_full_screen", [](const Screenshot& shot) {
    return AllBlack(shot, {0, 0, shot.width() - 1, 29}) &&
           AllBlack(shot, {0, 994, shot.width() - 1, shot.height() - 1}) &&
           !AllBlack(shot, {0, 34, 4, 38}) &&
           !AllBlack(shot, {shot.width() - 5, 986, shot.width() - 1, 990});
  }));

  // And back to the window as it was, which the settings file keeps for the next start.
  HoldKey("alt+Return");
  Box again;
  WaitUntil([&] { return (again = GameWindow()).Width() == 800; });
  EXPECT_EQ(again.Width(), 800);
  EXPECT_EQ(again.bottom - again.top + 1, 400);
  const std::filesystem::path config = game.config_folder();
  const std::string settings = ReadFileBytes((config / "grumbol/settings.conf").string());
  for (const char* line :
       {"\nfull_screen = no\n", "\nwindow_width = 800\n", "\nwindow_height = 400\n"})
    EXPECT_NE(settings.find(line), std::string::npos) << settings;

  ASSERT_TRUE(GameHasFocus());
  ASSERT_TRUE(game.PressEscapeToEnd() && WaitForWindow("Game Over"));
  EXPECT_TRUE(Eventually("desktop_game_over", Centred));
  HoldKey("Return");
  EXPECT_EQ(game.WaitForExit(), 0);
  EXPECT_EQ(game.Record(), "Fenster: 0\r\n");

  // The next start, without --window, plays in the window the player left; at half the mouse
  // speed, 100 counts move the cross-hair 50 pixels, and ten of one count 5.
  const std::string slow = dir.File("slow.replay");
  GameProcess next(GRUMBOL_GAME, GRUMBOL_GFX, {"--mouse-speed", "50", "--record", slow},
                   {"XDG_CONFIG_HOME=" + config.string()});
  ASSERT_TRUE(next.Begin("Wieder"));
  WaitUntil([&] { return (again = GameWindow()).Width() == 800; });
  EXPECT_EQ(again.Width(), 800);
  EXPECT_EQ(again.bottom - again.top + 1, 400);
  const int start = ReplaySoFar(slow).Last(" x");
  RunShell("xdotool mousemove_relative -- 100 0");
  EXPECT_TRUE(CrossHairAt(slow, start + 50)) << ReplaySoFar(slow).Last(" x");
  for (int i = 0; i < 10; ++i) RunShell("xdotool mousemove_relative -- 1 0");
  EXPECT_TRUE(CrossHairAt(slow, start + 55)) << ReplaySoFar(slow).Last(" x");
  EXPECT_EQ(next.End(), 0);

  // As the desktop's pointer moves: here three times as far as the device's counts (the
  // X server accelerates no test input, but transforms it), so 100 counts move it 300 pixels.
  const std::string conf = (config / "grumbol/settings.conf").string();
  std::string chosen = ReadFileBytes(conf);
  chosen.replace(chosen.find("mouse_motion = raw"), 18, "mouse_motion = desktop");
  WriteFileBytes(conf, chosen);
  const std::string matrix =
      "xinput set-prop 'Virtual core XTEST pointer' "
      "'Coordinate Transformation Matrix' ";
  ASSERT_EQ(RunShell(matrix + "3 0 0 0 3 0 0 0 1"), 0);
  const std::string fast = dir.File("fast.replay");
  GameProcess desktop(GRUMBOL_GAME, GRUMBOL_GFX, {"--record", fast},
                      {"XDG_CONFIG_HOME=" + config.string()});
  ASSERT_TRUE(desktop.Begin("Schnell"));
  // SDL takes the first motion as where the pointer is: one that leaves the cross-hair at the
  // left edge, where it starts.
  ASSERT_EQ(ReplaySoFar(fast).Last(" x"), 0);
  RunShell("xdotool mousemove_relative -- -5 0 mousemove_relative -- 100 0");
  EXPECT_TRUE(CrossHairAt(fast, 300)) << ReplaySoFar(fast).Last(" x");
  RunShell(matrix + "1 0 0 0 1 0 0 0 1");
  EXPECT_EQ(desktop.End(), 0);
}

}  // namespace
}  // namespace grumbol
