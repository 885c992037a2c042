#pragma once

#include <filesystem>

namespace gfx {

// The game's fish emblem as the desktop's icons: DIR/<n>x<n>/apps/<app id>.png for n = 48,
// 128 and 256, the hicolor theme's layout. False (with a message) on failure.
bool WriteIcons(const std::filesystem::path& dir);

}  // namespace gfx
