#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audio/volume_table.h"
#include "platform/file_system.h"
#include "platform/movie_player.h"
#include "runtime/slot_table.h"
#include "runtime/window.h"

namespace grumbol {

// One movie slot.
struct MovieRecord {
  std::unique_ptr<platform::Movie> movie;  // null: the slot is empty
  std::uint64_t played = 0;                // order of the last play; 0: never played
  bool InUse() const { return movie != nullptr; }
};

// The movie slots: media files opened through the playback service, played from their
// beginning, stopped and rewound, with volume and balance. The pictures are the service's own:
// laid over every presented frame at the screen's top-left corner at their native size, the
// most recently played movie on top, and never drawn into the back buffer. A movie that ended
// or was stopped keeps showing its last picture until it is played again.
class Movies final : public FrameOverlay {
 public:
  // Movies are opened by name where `files` says the name lies.
  Movies(Window& window, platform::MoviePlayer& player, const platform::FileSystem& files);
  ~Movies() override;
  Movies(const Movies&) = delete;
  Movies& operator=(const Movies&) = delete;

  // Takes a display reference and brings the playback service up. 0 when there is no display.
  int StartMovies();
  // Opens a file into a slot (kDynamicSlot for a new unnumbered one); whatever the slot held
  // is freed first. 0 when the file cannot be played (the slot is then empty), else non-zero:
  // the new identifier for kDynamicSlot. The movie is stopped at its beginning.
  std::int32_t LoadMovieFile(SlotId slot, const std::string& path);
  // Plays the slot's movie from its beginning. 1 if the slot holds a movie, else 0. There are
  // no windows here to own a picture, so `owner_window` is not used.
  int PlayMovieSlot(SlotId slot, std::int32_t owner_window);
  // Stops and rewinds; the picture stays on the screen.
  void StopMovieSlot(SlotId slot);
  // Volume 0..100 on the volume table, balance -100..100 in dB of the opposite channel;
  // both clamped.
  void SetMovieVolume(SlotId slot, int volume, int balance);
  // The native picture size; -1 for a movie without a picture, 0 for an empty slot.
  int MoviePictureWidth(SlotId slot);
  int MoviePictureHeight(SlotId slot);
  void FreeMovieSlot(SlotId slot);
  // Frees every movie and gives the display reference back. Only after StartMovies.
  void EndMovies();

  // The slot's movie, or null.
  platform::Movie* Find(SlotId slot);

  bool DrawOver(const Surface& back_buffer, Surface& frame, PixelLayout layout) override;

 private:
  // Fills shown_ with the pictures shown now, the most recently played last.
  void CollectPictures();

  Window& window_;
  platform::MoviePlayer& player_;
  const platform::FileSystem& files_;
  bool started_ = false;
  bool overlay_set_ = false;
  std::optional<SlotTable<MovieRecord>> slots_;
  std::optional<VolumeTable> volume_table_;  // built by the first SetMovieVolume
  std::uint64_t plays_ = 0;
  std::vector<std::pair<std::uint64_t, const platform::MoviePicture*>> shown_;  // by play order
};

}  // namespace grumbol
