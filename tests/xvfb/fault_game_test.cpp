// The built game meeting faults of the machine it runs on: no display, no sound output, the
// game stopped while another window takes the focus; and its command line.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/xvfb/x_player.h"

namespace grumbol {
namespace {

using namespace testing;

// A display named that is not there: with GRUMBOL_LOG=1 it also says why, once, however many
// parts of the game asked for the window.
TEST(NoDisplayGame, SaysSoInOneLineBeforeAnyLibraryAndExitsNonZero) {
  testing::TempDir dir;
  const std::string no_display =
      "grumbol: no display to show the game on (is DISPLAY set, is an X server running?)\n";
  const std::string run = "cd '" + dir.path().string() +
                          "' && env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 60 " +
                          GRUMBOL_GAME;
  const ProgramRun none = RunProgram("env -u DISPLAY sh -c \"" + run + "\"");
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.err, no_display);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "GFX"));
  const ProgramRun named = RunProgram("DISPLAY=:1999 GRUMBOL_LOG=1 sh -c \"" + run + "\"");
  EXPECT_EQ(named.status, 1);
  const std::size_t why = named.err.find("grumbol: video: SDL cannot start");
  EXPECT_NE(why, std::string::npos) << named.err;
  EXPECT_EQ(named.err.find("video:", named.err.find('\n', why)), std::string::npos) << named.err;
  EXPECT_TRUE(named.err.ends_with(no_display)) << named.err;
}

// The command line answers without a display.
TEST(Program, AnswersHelpVersionAndScoresAndRefusesWhatItDoesNotKnow) {
  const std::string game = GRUMBOL_GAME;
  const ProgramRun help = RunProgram(game + " --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: grumbol [--window | --fullscreen]")) << help.out;
  const ProgramRun version = RunProgram(game + " --version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("grumbol ") + GRUMBOL_VERSION + "\n");
  for (const char* wrong :
       {"--full-screen", "window", "--scores 0", "--scores x", "--verify", "--mouse-speed 900"}) {
    const ProgramRun refused = RunProgram(game + " " + wrong);
    EXPECT_EQ(refused.status, 2) << wrong;
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find(std::string(wrong).substr(std::string(wrong).rfind(' ') + 1)),
              std::string::npos)
        << refused.err;
  }

  // The record file in use: the portable one here, else the player's own.
  testing::TempDir dir;
  std::string records = "Ina: 50\r\n";
  for (int i = 0; i < 300; ++i) records += "Ina: 50Max: 7\r\n";
  records += "Ina: 50Ole: 90     =>  cheated\r\nIna: 50Tom: 12a\r\nIna: 50Ute: 50";
  std::filesystem::create_directories(dir.path() / "here/GFX");
  testing::WriteFileBytes(dir.File("here/GFX/Vusk.qzc"), records);
  std::filesystem::create_directories(dir.path() / "xdg/grumbol");
  testing::WriteFileBytes(dir.File("xdg/grumbol/Vusk.qzc"), "Kim: 20\r\n");
  std::filesystem::create_directories(dir.path() / "elsewhere");
  const std::string env = "env XDG_DATA_HOME='" + dir.File("xdg") + "' ";
  const ProgramRun here =
      RunProgram("cd '" + dir.File("here") + "' && " + env + game + " --scores 3");
  EXPECT_EQ(here.status, 0);
  EXPECT_EQ(here.out,
            "  1. Ole     90  cheated\n  2. Ina     50\n  3. Ute     50\n"
            "(1 line skipped: not a game's record)\n");
  const ProgramRun installed =
      RunProgram("cd '" + dir.File("elsewhere") + "' && " + env + game + " --scores");
  EXPECT_EQ(installed.out, "  1. Kim     20\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "elsewhere/GFX"));
  // Without an absolute XDG_DATA_HOME, the player's own folder is under HOME.
  std::filesystem::create_directories(dir.path() / "home/.local/share/grumbol");
  testing::WriteFileBytes(dir.File("home/.local/share/grumbol/Vusk.qzc"), "Lea: 30\r\n");
  for (const char* xdg : {"-u XDG_DATA_HOME", "XDG_DATA_HOME=xdg"}) {
    const ProgramRun home = RunProgram("cd '" + dir.path().string() + "' && env " + xdg +
                                       " HOME='" + dir.File("home") + "' " + game + " --scores");
    EXPECT_EQ(home.out, "  1. Lea     30\n") << xdg;
  }
  // Silent unless asked; asked, a failure says the system's reason.
  EXPECT_EQ(installed.err, "");
  const ProgramRun logged =
      RunProgram("cd '" + dir.File("elsewhere") + "' && env GRUMBOL_LOG=1 XDG_DATA_HOME='" +
                 dir.File("none") + "' " + game + " --scores");
  EXPECT_NE(logged.err.find("files: " + dir.File("none/grumbol/Vusk.qzc") +
                            ": No such file or directory\n"),
            std::string::npos)
      << logged.err;

  // Replay files are anybody's: what is not a whole one is refused, saying why.
  testing::WriteFileBytes(dir.File("cut.replay"), "GRUMBOL REPLAY 1\nname Ida\n0 x1 y");
  testing::WriteFileBytes(dir.File("huge.replay"), "");
  std::filesystem::resize_file(dir.path() / "huge.replay", std::uintmax_t{65} << 20);
  const std::pair<std::string, std::string> refused[] = {
      {"cut.replay", "line 3: the line has no end"},
      {"huge.replay", "over 64 MiB"},
      {"missing.replay", "cannot be read"}};
  for (const auto& [file, why] : refused) {
    const ProgramRun verify = RunProgram(game + " --verify '" + dir.File(file) + "'");
    EXPECT_EQ(verify.status, 2) << file;
    EXPECT_NE(verify.err.find(why), std::string::npos) << verify.err;
  }
}

// On a machine without sound output (OpenAL Soft given no driver it knows) the game says so in
// one line and nothing else. It is stopped while another window holds the focus (a stall far
// longer than its beat can catch up); continued, it reads the loss and the return of the focus
// from the X server in one go.
TEST(XFault, SilentAndStoppedWhileTheFocusWentAndCameBackTheGameIsWholeAndGoesOn) {
  testing::TempDir conf;
  testing::WriteFileBytes(conf.File("alsoft.conf"), "[general]\ndrivers=none-here\n");
  GameProcess game(GRUMBOL_GAME, GRUMBOL_GFX, {}, {"ALSOFT_CONF=" + conf.File("alsoft.conf")});
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(game.Begin("Halt"));
  const Screenshot before("focus_regained_before");
  ASSERT_TRUE(before.Taken());

  ASSERT_TRUE(game.Freeze());
  {
    const FocusThief thief;
    ASSERT_TRUE(thief.HasFocus());
    ASSERT_EQ(RunShell("xdotool search --name '^Daromirs Grumbol Game$' windowfocus --sync"), 0);
  }
  ASSERT_TRUE(game.Thaw());

  // The whole picture is back and the fish swim on. (That the beat starts afresh after the
  // stall, without a burst of steps, the clock's own tests show: here a fish may get through
  // meanwhile on a busy machine.)
  ASSERT_TRUE(Drawing("focus_regained_after"));
  const Screenshot after("focus_regained_after");
  ASSERT_TRUE(after.Taken());
  EXPECT_GT(SameShare(before, after, {0, 20, before.width() - 1, before.height() - 1}), 0.9)
      << "the background is not as it was";
  EXPECT_FALSE(WindowShown("Game Over"));

  EXPECT_EQ(game.End(), 0);
  EXPECT_EQ(game.Errors(), "grumbol: no sound output; playing silently\n");
  EXPECT_EQ(game.Record(), "Halt: 0\r\n");
}

}  // namespace
}  // namespace grumbol
