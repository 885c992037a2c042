#include "game/assets.h"
#include "game/game.h"

namespace grumbol::game {

void Game::GameOver(bool keep_record) {
  SleepMs(m_.clock, 1000);  // the last frame stays on screen for a second
  m_.screen.LeaveScreenMode();
  {
    auto result = m_.scratch.Begin();
    result << "Du hast " << state_.score << " Punkte erreicht!";
    m_.dialogs.ShowMessageBox("Game Over", result.Copy(), 0);
  }
  if (keep_record) WriteScoreRecord();
  m_.movies.StopMovieSlot(kTitleMovie);
  m_.sounds.EndSound();
  m_.movies.EndMovies();
  m_.mouse.EndMouse();
  m_.screen.EndVideo();
  m_.keyboard.EndKeyboard();
  m_.files.EndFiles();
}

void Game::WriteScoreRecord() {
  DataFiles& files = m_.files;
  files.OpenRecordFile(kRecordFile, kRecordPath);
  auto line = m_.scratch.Begin();
  line << files.ReadLine(kRecordFile) << state_.player_name << ": " << state_.score
       << state_.cheat_mark;
  // Always at the end of the file, whole, even for a file longer than the first block read.
  files.AppendLine(kRecordFile, line.View());
  files.CloseRecordFile(kRecordFile);
}

}  // namespace grumbol::game
