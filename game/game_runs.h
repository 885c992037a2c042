#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/media_stack.h"
#include "game/replay.h"
#include "platform/file_system.h"

namespace grumbol::game {

// The ways a program runs one game on its media stack, the desktop's and the browser's alike.
// A game played or shown ends by saying its step rate when GRUMBOL_STATS=1.

// The value of the environment variable `name`; empty when it is not set.
std::string Environment(const char* name);

// The record file and replays are read whole; no game writes anything near this.
inline constexpr std::int64_t kMaxWholeFileBytes = std::int64_t{64} << 20;

// Plays a game, recorded into the file `record_path` of `files` unless that is empty. The
// game's exit status, or 1 when the replay cannot be written.
int PlayGame(MediaStack& stack, platform::FileSystem& files, const std::string& record_path);

// The replay at `path`, read whole and checked; none (said why) when it is not one.
std::optional<Replay> LoadReplay(platform::FileSystem& files, const std::string& path);

// Shows a recorded game again, until its end or the player's Escape.
int ShowReplay(MediaStack& stack, const Replay& replay);

}  // namespace grumbol::game
