#pragma once

namespace grumbol::game {

// The key positions the game reads. The DIK_ codes are the PC keyboard's set-1 scan codes
// (extended keys with 0x80 added), so a code names a key's place, not its label.
enum ScanCode : int {
  DIK_ESCAPE = 1,
  DIK_1 = 2,
  DIK_2 = 3,
  DIK_3 = 4,
  DIK_4 = 5,
  DIK_5 = 6,
  DIK_6 = 7,
  DIK_7 = 8,
  DIK_8 = 9,
  DIK_9 = 10,
  DIK_0 = 11,
  DIK_O = 24,
  DIK_P = 25,
  DIK_D = 32,
  DIK_F = 33,
  DIK_K = 37,
  DIK_L = 38,
  DIK_Z = 44,
  DIK_C = 46,
};

}  // namespace grumbol::game
