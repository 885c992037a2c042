#pragma once

// Backends that have nothing behind them: no display, no input devices, no sound, no movies,
// no dialogs, no files, no fonts. A game on them runs its rules and shows nothing (replays are
// verified this way, as fast as the machine allows).

#include <memory>
#include <optional>
#include <string>

#include "platform/audio_device.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/fonts.h"
#include "platform/input_device.h"
#include "platform/movie_player.h"

namespace grumbol::platform {

class NullDisplay final : public Display {
 public:
  bool StartVideoSystem() override { return false; }
  void StopVideoSystem() override {}
  bool CreateWindow() override { return false; }
  bool HasWindow() const override { return false; }
  std::optional<PixelLayout> OpenScreen(int, int, int, const std::string&) override {
    return std::nullopt;
  }
  void CloseScreen() override {}
  void RestoreScreen() override {}
  void Present(const std::uint8_t*, int) override {}
  double VsyncRefreshHz() const override { return 0.0; }
  bool PollWindowEvent(WindowEvent&) override { return false; }
  void ShowCursor(bool) override {}
};

class NullInputSystem final : public InputSystem {
 public:
  bool Start() override { return false; }
  void Stop() override {}
  std::unique_ptr<KeyboardDevice> CreateKeyboard() override { return nullptr; }
  std::unique_ptr<MouseDevice> CreateMouse() override { return nullptr; }
};

class NullAudioSystem final : public AudioSystem {
 public:
  std::unique_ptr<AudioDevice> OpenDefaultDevice() override { return nullptr; }
};

class NullMoviePlayer final : public MoviePlayer {
 public:
  bool Start() override { return false; }
  std::unique_ptr<Movie> Open(const std::string&) override { return nullptr; }
};

class NullDialogs final : public Dialogs {
 public:
  bool Available() override { return false; }
  int ShowMessageBox(const std::string&, const std::string&, int) override { return 0; }
  std::string AskForText(const std::string&, const std::string&, const std::string&) override {
    return "";
  }
};

class NullFileSystem final : public FileSystem {
 public:
  std::unique_ptr<File> Open(const std::string&, FileAccess, FileDisposition) override {
    return nullptr;
  }
};

class NullFontSource final : public FontSource {
 public:
  std::unique_ptr<Font> OpenFont(const std::string&, int) override { return nullptr; }
};

}  // namespace grumbol::platform
