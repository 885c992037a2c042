#include <gtest/gtest.h>

#include <utility>

#include "platform/sdl/sdl_scan_codes.h"

namespace grumbol {
namespace {

TEST(SdlScanCodes, GameKeysHaveTheirCodesAndLettersArePositions) {
  const std::pair<SDL_Scancode, int> keys[] = {
      {SDL_SCANCODE_ESCAPE, 1}, {SDL_SCANCODE_1, 2},      {SDL_SCANCODE_5, 6},
      {SDL_SCANCODE_9, 10},     {SDL_SCANCODE_0, 11},     {SDL_SCANCODE_O, 24},
      {SDL_SCANCODE_P, 25},     {SDL_SCANCODE_D, 32},     {SDL_SCANCODE_F, 33},
      {SDL_SCANCODE_K, 37},     {SDL_SCANCODE_L, 38},     {SDL_SCANCODE_Z, 44},
      {SDL_SCANCODE_C, 46},     {SDL_SCANCODE_Y, 21},     {SDL_SCANCODE_KP_ENTER, 156},
      {SDL_SCANCODE_UP, 200},   {SDL_SCANCODE_UNKNOWN, 0}};
  for (const auto& [sdl, dik] : keys) EXPECT_EQ(platform::KeyCodeFor(sdl), dik) << sdl;
}

}  // namespace
}  // namespace grumbol
