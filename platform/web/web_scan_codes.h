#pragma once

#include <string_view>

namespace grumbol::platform {

// The key code (DIK_* value, a PC set-1 scan code) of the key a KeyboardEvent.code names; 0 for
// keys that have none. Both name positions, not labels: "KeyZ" is DIK_Z (44) also where the
// key is labelled Y, as on a German keyboard.
int KeyCodeFor(std::string_view code);

}  // namespace grumbol::platform
