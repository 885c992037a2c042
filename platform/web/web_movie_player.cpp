#include "platform/web/web_movie_player.h"

#include <emscripten.h>

#include <cmath>
#include <utility>

#include "platform/log.h"

namespace grumbol::platform {
namespace {

// clang-format off
// The page's movies live in Module.movies: the open ones by a number the game's side holds,
// and those made ready ahead by their file's path. A movie is ready when the browser has its
// first picture; null when the browser refuses the file.
EM_JS(void, InstallMovies, (), {
  if (Module.movies) return;
  const load = (path) => new Promise((resolve) => {
    let bytes;
    try {
      bytes = FS.readFile(path);
    } catch (error) {
      return resolve(null);
    }
    const video = document.createElement('video');
    video.preload = 'auto';
    video.playsInline = true;
    const url = URL.createObjectURL(new Blob([bytes]));
    video.addEventListener('loadeddata', () => resolve({video, url}), {once: true});
    video.addEventListener('error', () => {
      URL.revokeObjectURL(url);
      resolve(null);
    }, {once: true});
    video.src = url;
  });
  const canonical = (path) => {
    try {
      return FS.lookupPath(path).path;
    } catch (error) {
      return path;
    }
  };
  Module.movies = {list: new Map(), next: 1, ahead: new Map(), load, canonical};
});

// Starts making ready every file in `folder` whose name ends in `extension`, all at once.
EM_JS(void, PrepareVideos, (const char* folder, const char* extension), {
  const movies = Module.movies, end = UTF8ToString(extension);
  let names = [];
  try {
    names = FS.readdir(UTF8ToString(folder));
  } catch (error) {
  }
  for (const name of names.filter((name) => name.endsWith(end))) {
    const path = movies.canonical(UTF8ToString(folder) + '/' + name);
    movies.ahead.set(path, movies.load(path));
  }
});

// The movie in the file at `path`, made ready: its number, or 0 when the browser refuses it.
// One made ready ahead is taken (a second movie of the same file is made ready now).
EM_ASYNC_JS(int, OpenVideo, (const char* path), {
  const movies = Module.movies, file = movies.canonical(UTF8ToString(path));
  const ahead = movies.ahead.get(file);
  movies.ahead.delete(file);
  const ready = await (ahead || movies.load(file));
  if (!ready) return 0;
  const id = movies.next++;
  movies.list.set(id, {video: ready.video, url: ready.url, context: null, shownTime: -1});
  return id;
});

EM_JS(void, CloseVideo, (int id), {
  const movie = Module.movies.list.get(id);
  Module.movies.list.delete(id);
  movie.video.pause();
  movie.video.removeAttribute('src');
  movie.video.load();
  URL.revokeObjectURL(movie.url);
});

EM_JS(int, VideoWidth, (int id), { return Module.movies.list.get(id).video.videoWidth; });
EM_JS(int, VideoHeight, (int id), { return Module.movies.list.get(id).video.videoHeight; });

EM_JS(void, PlayVideo, (int id), {
  Module.movies.list.get(id).video.play().catch((error) => {
    // Refused until the player has used the page: the page says so.
    if (error.name === 'NotAllowedError') document.body.dataset.soundRefused = 'yes';
  });
});

// A seek already under way is to the beginning (only rewinds seek): it is left to finish, or
// a movie key held down would start a new one every frame and never show a picture.
EM_JS(void, RewindVideo, (int id), {
  const video = Module.movies.list.get(id).video;
  video.pause();
  if (!video.seeking && video.currentTime !== 0) video.currentTime = 0;
});

EM_JS(void, SetVideoVolume, (int id, double gain), {
  Module.movies.list.get(id).video.volume = Math.min(1, Math.max(0, gain));
});

// Copies the element's picture into `rgba` (width * height * 4 bytes) when it has one that
// was not copied yet. Its time in the movie when it did (0 for the first), else -1.
EM_JS(double, CopyVideoPicture, (int id, std::uint8_t* rgba, int width, int height), {
  const movie = Module.movies.list.get(id);
  const video = movie.video;
  if (video.readyState < 2 || video.seeking || video.currentTime === movie.shownTime) return -1;
  if (!movie.context) {
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    movie.context = canvas.getContext('2d', {willReadFrequently: true});
  }
  movie.context.drawImage(video, 0, 0);
  const pixels = movie.context.getImageData(0, 0, width, height).data;
  if (pixels[3] === 0) return -1;  // drawn before the browser had the picture: nothing yet
  HEAPU8.set(pixels, rgba);
  movie.shownTime = video.currentTime;
  return movie.shownTime;
});
// clang-format on

class WebMovie final : public Movie {
 public:
  explicit WebMovie(int id) : id_(id) {
    const int width = VideoWidth(id), height = VideoHeight(id);
    if (width > 0 && height > 0) {
      picture_.width = width;
      picture_.height = height;
      picture_.bgrx.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    }
  }
  ~WebMovie() override { CloseVideo(id_); }
  WebMovie(const WebMovie&) = delete;
  WebMovie& operator=(const WebMovie&) = delete;

  int PictureWidth() const override { return picture_.width > 0 ? picture_.width : -1; }
  int PictureHeight() const override { return picture_.height > 0 ? picture_.height : -1; }

  void Play() override {
    // The first picture stays: the browser shows it again at the beginning, however long its
    // seek there takes.
    has_picture_ = has_picture_ && first_shown_;
    at_start_ = false;
    PlayVideo(id_);
  }

  void StopAndRewind() override {
    // A held movie key stops the movie every frame; one not played since its rewind is there.
    if (at_start_) return;
    at_start_ = true;
    RewindVideo(id_);
  }

  void SetVolume(int hundredths_db) override {
    // The game sets every movie's volume in every frame: the page is asked only for a change.
    if (volume_ == hundredths_db) return;
    volume_ = hundredths_db;
    SetVideoVolume(id_, std::pow(10.0, hundredths_db / 2000.0));
  }

  void SetBalance(int /*balance*/) override {}

  const MoviePicture* Picture() override {
    if (picture_.width == 0 || at_start_) return has_picture_ ? &picture_ : nullptr;
    const double time =
        CopyVideoPicture(id_, picture_.bgrx.data(), picture_.width, picture_.height);
    if (time >= 0) {
      first_shown_ = time == 0;
      for (std::size_t i = 0; i < picture_.bgrx.size(); i += 4)
        std::swap(picture_.bgrx[i], picture_.bgrx[i + 2]);  // R, G, B, A to B, G, R, X
      has_picture_ = true;
    }
    return has_picture_ ? &picture_ : nullptr;
  }

 private:
  int id_;
  MoviePicture picture_;
  bool has_picture_ = false;
  bool first_shown_ = false;  // the picture is the movie's first
  bool at_start_ = true;
  int volume_ = 0;  // full, as a new element plays
};

}  // namespace

WebMoviePlayer::WebMoviePlayer(std::string ahead_folder, std::string ahead_extension)
    : ahead_folder_(std::move(ahead_folder)), ahead_extension_(std::move(ahead_extension)) {}

bool WebMoviePlayer::Start() {
  if (!started_) {
    InstallMovies();
    if (!ahead_folder_.empty()) PrepareVideos(ahead_folder_.c_str(), ahead_extension_.c_str());
    started_ = true;
  }
  return true;
}

std::unique_ptr<Movie> WebMoviePlayer::Open(const std::string& path) {
  if (!started_) return nullptr;
  const int id = OpenVideo(path.c_str());
  if (id == 0) {
    LogDetail("movie " + path + ": the browser cannot play it");
    return nullptr;
  }
  return std::make_unique<WebMovie>(id);
}

}  // namespace grumbol::platform
