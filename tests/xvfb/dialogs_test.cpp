// The dialogs on a real X server with no window manager, driven by xdotool the way a player
// would: the box is answered with Enter, the name typed and confirmed or cancelled.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "platform/gtk/gtk_dialogs.h"
#include "runtime/dialogs.h"
#include "tests/xvfb/screenshot.h"

namespace grumbol {
namespace {

using testing::RunShell;

// The output of a shell command, without its last line end.
std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    pclose(pipe);
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// Waits for the visible window of that exact title, then sends it the keys.
std::string Drive(const std::string& title, const std::string& keys) {
  const std::string find = "xdotool search --sync --onlyvisible --name '^" + title + "$' | head -1";
  const std::string window = Capture(find);
  if (!keys.empty()) RunShell("xdotool " + keys);
  return window;
}

class XDialogs : public ::testing::Test {
 protected:
  platform::GtkDialogs gtk_;
  MessageDialogs dialogs_{gtk_};
};

TEST_F(XDialogs, BoxThenNameConfirmedWithEnterExactlyAsTyped) {
  ASSERT_TRUE(dialogs_.Available());
  std::string geometry;
  std::thread player([&] {
    Drive("Daromir Grumbol Game", "key Return");
    const std::string window = Drive("Daromirs Grumbol Game", "");
    geometry = Capture("xdotool getwindowgeometry " + window);
    RunShell("xdotool type --delay 20 ' Anna '");
    testing::Screenshot shot("name_dialog");  // to look at
    RunShell("xdotool key Return");
  });
  EXPECT_EQ(dialogs_.ShowMessageBox("Daromir Grumbol Game", "Gib deinen Namen ein!"), 1);
  EXPECT_EQ(dialogs_.AskForText("Daromirs Grumbol Game", "Name:", ""), " Anna ");
  player.join();
  EXPECT_NE(geometry.find("Position: 362,319"), std::string::npos) << geometry;
  EXPECT_NE(geometry.find("Geometry: 300x130"), std::string::npos) << geometry;
}

TEST_F(XDialogs, EscapeCancelsEvenWithTextTypedAndTheOkButtonConfirms) {
  std::thread player([] {
    Drive("Ask", "type --delay 20 Bob");
    RunShell("xdotool key Escape");
    const std::string window = Drive("Ask", "type --delay 20 Carla");
    // The OK button lies at (110, 67) of the window's client area, 80 x 25.
    RunShell("xdotool mousemove --window " + window + " 150 79 click 1");
  });
  EXPECT_EQ(dialogs_.AskForText("Ask", "Name:", ""), "");
  EXPECT_EQ(dialogs_.AskForText("Ask", "Name:", "x"), "xCarla");  // caret after the default
  player.join();
}

TEST(NoDisplayDialogs, AreUnavailableAndAnswerAtOnce) {
  platform::GtkDialogs gtk;
  MessageDialogs dialogs(gtk);
  EXPECT_FALSE(dialogs.Available());
  EXPECT_EQ(dialogs.ShowMessageBox("t", "x"), 0);
  EXPECT_EQ(dialogs.AskForText("t", "Name:", ""), "");
}

}  // namespace
}  // namespace grumbol
