// The program's entry in the browser: the web backends wired once, the record file kept in
// the browser's storage, then one game. The page (platform/web/index.html) has the canvas; its
// address sets the environment the game reads: ?log as GRUMBOL_LOG=1, ?stats as GRUMBOL_STATS=1,
// ?record as GRUMBOL_RECORD (the replay's file, offered for download at the end), ?replay=URL as
// GRUMBOL_REPLAY (the file the page fetched from URL, shown instead of a game).

#include <string>

#include "game/game.h"
#include "game/game_runs.h"
#include "game/media_stack.h"
#include "platform/log.h"
#include "platform/mapped_file_system.h"
#include "platform/openal/openal_audio.h"
#include "platform/posix/posix_file_system.h"
#include "platform/web/web_clock.h"
#include "platform/web/web_dialogs.h"
#include "platform/web/web_display.h"
#include "platform/web/web_fonts.h"
#include "platform/web/web_input.h"
#include "platform/web/web_movie_player.h"
#include "platform/web/web_page.h"
#include "platform/web/web_storage.h"

namespace {

using namespace grumbol;

// Where the page's data puts the font (the same file the native game finds with fontconfig).
constexpr const char* kFontFile = "/fonts/game.ttf";
// The game's movies, made ready while the player types a name.
constexpr const char* kMovieFolder = "/GFX";
constexpr const char* kMovieExtension = ".qzm";
// The folder kept in the browser: the record file.
constexpr const char* kRecordFolder = "/records";

// The stack on the browser: canvas display, html5 input, emscripten's OpenAL on Web Audio,
// <video> movies, HTML dialogs and the browser's text.
struct WebMediaStack {
  explicit WebMediaStack(platform::FileSystem& files)
      : input_system(display),
        movie_player(kMovieFolder, kMovieExtension),
        fonts(kFontFile),
        stack(clock, display, input_system, audio_system, movie_player, dialogs, files, fonts) {}
  platform::WebClock clock;
  platform::WebDisplay display;
  platform::WebInput input_system;
  platform::OpenAlSystem audio_system;
  platform::WebMoviePlayer movie_player;
  platform::WebDialogs dialogs;
  platform::WebFontSource fonts;
  game::MediaStack stack;
};

}  // namespace

int main() {
  platform::BrowserFolder records(kRecordFolder);
  // GFX is preloaded at /GFX, beside the folder the browser keeps.
  platform::PosixFileSystem posix_files;
  platform::MappedFileSystem files(posix_files,
                                   {{game::Game::kRecordPath, records.path() + "/" + "Vusk.qzc"}});

  WebMediaStack web(files);
  const std::string replay_path = game::Environment("GRUMBOL_REPLAY");
  const std::string record_path = game::Environment("GRUMBOL_RECORD");
  int status = 2;
  if (!replay_path.empty()) {
    if (const auto replay = game::LoadReplay(posix_files, replay_path))
      status = game::ShowReplay(web.stack, *replay);
  } else {
    status = game::PlayGame(web.stack, posix_files, record_path);
    if (!record_path.empty()) platform::OfferDownload(record_path, "grumbol.replay");
  }
  records.Save();
  platform::TellPage("over");
  return status;
}
