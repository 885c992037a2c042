#include "game/game_runs.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "game/game.h"
#include "platform/log.h"

namespace grumbol::game {

namespace {

// GRUMBOL_STATS=1: how well the game kept its beat of 60 steps a second.
void SayStepStats(const Screen& screen) {
  if (Environment("GRUMBOL_STATS") == "1") platform::LogNotice(screen.step_stats().Summary());
}

}  // namespace

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

int PlayGame(MediaStack& stack, platform::FileSystem& files, const std::string& record_path) {
  LiveInput player(stack.keyboard, stack.mouse);
  std::optional<ReplayRecorder> recorder;
  if (!record_path.empty()) {
    recorder.emplace(player, stack.random,
                     files.Open(record_path, platform::FileAccess::kWrite,
                                platform::FileDisposition::kCreateAlways));
    if (!recorder->ok()) {
      platform::LogNotice("cannot write the replay " + record_path);
      return 1;
    }
  }
  Media media = stack.For(recorder ? static_cast<PlayerInput&>(*recorder) : player);
  Game game(media);
  if (recorder) recorder->Watch(game.state());
  const int status = game.Run(std::cerr);
  if (recorder) {
    recorder->Finish();
    if (!recorder->ok())
      platform::LogNotice("the replay " + record_path + " could not be written whole");
  }
  SayStepStats(stack.screen);
  return status;
}

std::optional<Replay> LoadReplay(platform::FileSystem& files, const std::string& path) {
  const auto bytes = platform::ReadWholeFile(files, path, kMaxWholeFileBytes);
  if (!bytes) {
    platform::LogNotice(path + ": cannot be read (missing, not a file, or over 64 MiB)");
    return std::nullopt;
  }
  ReplayReading reading =
      ReadReplay(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
  if (!reading.replay) platform::LogNotice(path + ": " + reading.error);
  return std::move(reading.replay);
}

int ShowReplay(MediaStack& stack, const Replay& replay) {
  ReplayInput input(replay, &stack.keyboard);
  Media media = stack.For(input);
  Game game(media);
  PlayReplay(replay, stack.random, input, game);
  SayStepStats(stack.screen);
  return 0;
}

}  // namespace grumbol::game
