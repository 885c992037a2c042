#include "audio/movies.h"

#include <algorithm>
#include <cstring>

#include "platform/log.h"

namespace grumbol {
namespace {

constexpr SlotId kMovieSlotGrowth = 16;
constexpr int kMaxBalance = 10000;

// The screen's pixel value of a B, G, R triple; nullopt where the layout has no fixed colours.
std::optional<std::uint32_t> Pack(PixelLayout layout, std::uint32_t b, std::uint32_t g,
                                  std::uint32_t r) {
  switch (layout) {
    case PixelLayout::kX8R8G8B8:
    case PixelLayout::kRgb24RedHigh: return r << 16 | g << 8 | b;
    case PixelLayout::kX8B8G8R8:
    case PixelLayout::kBgr24RedLow: return b << 16 | g << 8 | r;
    case PixelLayout::kRgb565: return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
    case PixelLayout::kRgb555: return (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
    case PixelLayout::kPalette8:
    case PixelLayout::kNone: break;
  }
  return std::nullopt;
}

}  // namespace

Movies::Movies(Window& window, platform::MoviePlayer& player, const platform::FileSystem& files)
    : window_(window), player_(player), files_(files) {}

Movies::~Movies() {
  EndMovies();
  if (overlay_set_) window_.SetFrameOverlay(nullptr);
}

int Movies::StartMovies() {
  started_ = true;
  if (!window_.AcquireVideo()) return 0;
  if (!slots_) slots_.emplace(kMovieSlotGrowth, [this](SlotId id) { FreeMovieSlot(id); });
  // Like COM's initialisation, its result is not looked at: loads fail without it.
  player_.Start();
  window_.SetFrameOverlay(this);
  overlay_set_ = true;
  return 1;
}

std::int32_t Movies::LoadMovieFile(SlotId slot, const std::string& path) {
  if (!slots_) return 0;
  const auto claim = slots_->ClaimSlot(slot);
  if (claim.record == nullptr) return 0;
  std::unique_ptr<platform::Movie> movie =
      path.empty() ? nullptr : player_.Open(files_.NativePath(path));
  if (!movie) {
    platform::LogDetail("movie " + path + ": cannot be played");
    slots_->ReleaseSlot(claim.id);  // an unnumbered slot is not kept empty
    return 0;
  }
  // Records move when the table grows; nothing has claimed a slot since, so this one holds.
  claim.record->movie = std::move(movie);
  return slot == kDynamicSlot ? claim.id : 1;
}

platform::Movie* Movies::Find(SlotId slot) {
  if (!slots_) return nullptr;
  MovieRecord* record = slots_->FindSlot(slot);
  return record != nullptr ? record->movie.get() : nullptr;
}

int Movies::PlayMovieSlot(SlotId slot, std::int32_t /*owner_window*/) {
  if (!slots_) return 0;
  MovieRecord* record = slots_->FindSlot(slot);
  if (record == nullptr) return 0;
  record->movie->StopAndRewind();
  record->played = ++plays_;
  record->movie->Play();
  return 1;
}

void Movies::StopMovieSlot(SlotId slot) {
  if (platform::Movie* movie = Find(slot)) movie->StopAndRewind();
}

void Movies::SetMovieVolume(SlotId slot, int volume, int balance) {
  if (!volume_table_) volume_table_.emplace();
  platform::Movie* movie = Find(slot);
  if (movie == nullptr) return;
  movie->SetVolume(volume_table_->Attenuation(volume));
  const auto b = std::clamp<std::int64_t>(std::int64_t{balance} * 100, -kMaxBalance, kMaxBalance);
  movie->SetBalance(static_cast<int>(b));
}

int Movies::MoviePictureWidth(SlotId slot) {
  platform::Movie* movie = Find(slot);
  return movie != nullptr ? movie->PictureWidth() : 0;
}

int Movies::MoviePictureHeight(SlotId slot) {
  platform::Movie* movie = Find(slot);
  return movie != nullptr ? movie->PictureHeight() : 0;
}

void Movies::FreeMovieSlot(SlotId slot) {
  // Releasing the movie stops it; the separate stop and rewind would be wasted work.
  if (Find(slot) != nullptr) slots_->ReleaseSlot(slot);
}

void Movies::EndMovies() {
  if (!started_) return;
  started_ = false;
  if (slots_) {
    for (SlotId id : slots_->IdsInVisitOrder()) FreeMovieSlot(id);
  }
  window_.ReleaseVideo();
}

void Movies::CollectPictures() {
  shown_.clear();
  if (slots_) {
    // Every movie is asked, so that each takes in what its service reported.
    slots_->ForEachSlot([&](SlotId, MovieRecord& record) {
      if (!record.InUse()) return true;  // an unnumbered slot is visited also when empty
      if (const platform::MoviePicture* picture = record.movie->Picture()) {
        shown_.emplace_back(record.played, picture);
      }
      return true;
    });
  }
  std::sort(shown_.begin(), shown_.end());
}

bool Movies::DrawOver(const Surface& back_buffer, Surface& frame, PixelLayout layout) {
  CollectPictures();
  if (shown_.empty()) return false;
  frame = back_buffer;  // same size each frame: the copy reuses the memory
  for (const auto& [played, picture] : shown_) {
    const int width = std::min(picture->width, frame.width());
    const int height = std::min(picture->height, frame.height());
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* src = picture->Row(y);
      if (layout == PixelLayout::kX8R8G8B8) {  // the game's screen: the same bytes
        std::memcpy(frame.Row(y), src, static_cast<std::size_t>(width) * 4);
        continue;
      }
      for (int x = 0; x < width; ++x, src += 4) {
        const auto value = Pack(layout, src[0], src[1], src[2]);
        if (!value) return true;  // no fixed colours: the frame as drawn
        frame.SetPixel(x, y, *value);
      }
    }
  }
  return true;
}

}  // namespace grumbol
