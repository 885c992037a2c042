// The built game under a Wayland compositor (tools/with-wayland): natively, or through the
// compositor's X server as on GNOME and KDE desktops. Its first box shows, on the same window
// system as the game's window (the rest of the game is played by the game-play and focus tests
// under the compositor too).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/xvfb/x_player.h"

namespace grumbol {
namespace {

using namespace testing;

TEST(Wayland, TheFirstBoxShowsOnTheWindowSystemOfTheGamesWindow) {
  const char* display = std::getenv("DISPLAY");
  const bool through_x = display != nullptr && *display != '\0';
  GameProcess game(GRUMBOL_GAME, GRUMBOL_GFX, {}, {"GRUMBOL_LOG=1"});
  ASSERT_TRUE(game.Started());
  ASSERT_TRUE(WaitForWindow("Daromir Grumbol Game")) << game.Errors();
  const Screenshot box("wayland_first_box");
  ASSERT_TRUE(box.Taken());
  // The box in the middle of the bare desktop.
  EXPECT_NE(box.At(box.width() / 2, box.height() / 2), box.At(0, 0));

  const std::string said = game.Errors();
  const std::string server = through_x ? "x11" : "wayland";
  EXPECT_NE(said.find("SDL video driver '" + server + "'"), std::string::npos) << said;
  EXPECT_NE(said.find(through_x ? "GdkX11Display" : "GdkWaylandDisplay"), std::string::npos)
      << said;
}

}  // namespace
}  // namespace grumbol
