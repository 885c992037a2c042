#include "platform/gstreamer/gst_movie_player.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "platform/log.h"

namespace grumbol::platform {
namespace {

// Long enough for a slow machine or a sanitizer build; an unplayable file fails long before.
constexpr GstClockTime kPrerollTimeout = 10 * GST_SECOND;
// Pausing a playing movie only waits for the next picture to arrive.
constexpr GstClockTime kPauseTimeout = GST_SECOND;

// The error's message ("?" without one); the error is freed.
std::string TakeMessage(GError* error) {
  const std::string message = error != nullptr ? error->message : "?";
  g_clear_error(&error);
  return message;
}

double LinearGain(int hundredths_db) { return std::pow(10.0, hundredths_db / 2000.0); }

// Only the side opposite to the balance is attenuated, by |balance| hundredths of a decibel.
double Panorama(int balance) {
  const double side = 1.0 - std::pow(10.0, -std::abs(balance) / 2000.0);
  return balance < 0 ? -side : side;
}

// The factory of the sound output that autoaudiosink picks here: the first that opens, or
// a silent one when there is no sound device.
std::string ChooseAudioSink() {
  gst::ElementPtr automatic = gst::MakeElement("autoaudiosink");
  if (!automatic) return "fakesink";
  std::string name = "fakesink";
  if (gst_element_set_state(automatic.get(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE &&
      gst_child_proxy_get_children_count(GST_CHILD_PROXY(automatic.get())) > 0) {
    if (GObject* chosen = gst_child_proxy_get_child_by_index(GST_CHILD_PROXY(automatic.get()), 0)) {
      if (GstElementFactory* factory = gst_element_get_factory(GST_ELEMENT(chosen))) {
        name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
      }
      g_object_unref(chosen);
    }
  }
  gst_element_set_state(automatic.get(), GST_STATE_NULL);
  return name;
}

// The file URI of `path`; none (said) where GStreamer cannot make one.
std::optional<std::string> FileUri(const std::string& path) {
  GError* error = nullptr;
  // One file, one URI: the folder's listing and the game's names meet here.
  gchar* uri = gst_filename_to_uri(std::filesystem::path(path).lexically_normal().c_str(), &error);
  if (uri == nullptr) {
    LogDetail("movie " + path + ": no URI for it: " + TakeMessage(error));
    return std::nullopt;
  }
  std::string text = uri;
  g_free(uri);
  return text;
}

}  // namespace

namespace gst {

Library::Library() {
  GError* error = nullptr;
  ready_ = gst_init_check(nullptr, nullptr, &error) != FALSE;
  if (!ready_) LogDetail("movies: GStreamer cannot start: " + TakeMessage(error));
}

}  // namespace gst

GstMoviePlayer::~GstMoviePlayer() { WaitForAhead(); }

bool GstMoviePlayer::Start() {
  started_ = true;
  // With movies to open ahead, GStreamer comes up on their thread: reading its plugin registry
  // beside the display's start would slow that.
  if (!ahead_folder_.empty()) return true;
  if (!library_) library_.emplace();
  return library_->Ready();
}

void GstMoviePlayer::OpenAhead() {
  if (ahead_begun_ || !started_) return;
  ahead_begun_ = true;
  ahead_thread_ = std::thread([this] { ChooseOutputAndOpenAhead(); });
}

void GstMoviePlayer::WaitForAhead() {
  if (ahead_thread_.joinable()) ahead_thread_.join();
}

void GstMoviePlayer::ChooseOutputAndOpenAhead() {
  if (!library_) library_.emplace();
  if (!library_->Ready()) return;
  audio_sink_ = ChooseAudioSink();
  LogDetail("movies: GStreamer sound output '" + audio_sink_ + "'" +
            (audio_sink_ == "fakesink" ? " (none found: movies play silently)" : ""));
  if (ahead_folder_.empty()) return;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(ahead_folder_, error)) {
    const std::string path = entry.path().string();
    if (!path.ends_with(ahead_extension_) || !entry.is_regular_file(error)) continue;
    if (const std::optional<std::string> uri = FileUri(path))
      ahead_[*uri] = GstMovie::Open(*uri, audio_sink_);
  }
}

std::unique_ptr<GstMovie> GstMoviePlayer::OpenMovie(const std::string& path) {
  if (!started_ || path.empty()) return nullptr;
  OpenAhead();
  WaitForAhead();
  // GStreamer that did not start said so once, when it failed.
  if (!library_->Ready()) return nullptr;
  const std::optional<std::string> uri = FileUri(path);
  if (!uri) return nullptr;
  const auto ahead = ahead_.find(*uri);
  if (ahead == ahead_.end()) return GstMovie::Open(*uri, audio_sink_);
  std::unique_ptr<GstMovie> movie = std::move(ahead->second);
  ahead_.erase(ahead);
  return movie;
}

GstMovie::GstMovie(gst::ElementPtr playbin, gst::ElementPtr panorama, gst::ElementPtr sink)
    : playbin_(std::move(playbin)),
      panorama_(std::move(panorama)),
      sink_(std::move(sink)),
      bus_(gst_element_get_bus(playbin_.get())) {}

GstMovie::~GstMovie() { gst_element_set_state(playbin_.get(), GST_STATE_NULL); }

std::unique_ptr<GstMovie> GstMovie::Open(const std::string& uri, const std::string& audio_sink) {
  const auto make = [&uri](const std::string& factory) {
    gst::ElementPtr element = gst::MakeElement(factory.c_str());
    if (!element)
      LogDetail("movie " + uri + ": GStreamer has no element '" + factory +
                "' (a plugin package is missing)");
    return element;
  };
  gst::ElementPtr playbin = make("playbin"), panorama = make("audiopanorama"),
                  sink = make("appsink"), speaker = make(audio_sink);
  if (!playbin || !panorama || !sink || !speaker) return nullptr;
  // A silent output still keeps the sound in time with the picture.
  if (audio_sink == "fakesink") g_object_set(speaker.get(), "sync", TRUE, nullptr);

  gst_util_set_object_arg(G_OBJECT(panorama.get()), "method", "simple");
  gst::CapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr));
  // Only the newest picture matters: the screen takes one per frame it presents.
  g_object_set(sink.get(), "caps", caps.get(), "max-buffers", 1u, "drop", TRUE,
               "enable-last-sample", FALSE, nullptr);
  gst_util_set_object_arg(G_OBJECT(playbin.get()), "flags", "video+audio+soft-volume");
  g_object_set(playbin.get(), "uri", uri.c_str(), "video-sink", sink.get(), "audio-filter",
               panorama.get(), "audio-sink", speaker.get(), nullptr);

  std::unique_ptr<GstMovie> movie(
      new GstMovie(std::move(playbin), std::move(panorama), std::move(sink)));
  if (!movie->WaitForPreroll(uri)) return nullptr;
  movie->ReadSize();
  return movie;
}

bool GstMovie::WaitForPreroll(const std::string& uri) {
  const GstStateChangeReturn change = gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
  if (change != GST_STATE_CHANGE_ASYNC) {
    if (change != GST_STATE_CHANGE_SUCCESS)
      LogDetail("movie " + uri + ": GStreamer cannot open it");
    return change == GST_STATE_CHANGE_SUCCESS;
  }
  // Everything else on the bus until then is of no interest and is dropped. Only the
  // pipeline itself posts ASYNC_DONE on the bus: every stream is ready.
  gst::MessagePtr message(gst_bus_timed_pop_filtered(
      bus_.get(), kPrerollTimeout,
      static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE)));
  if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ASYNC_DONE) return true;
  std::string why = "no answer in time";
  if (message) {
    GError* error = nullptr;
    gst_message_parse_error(message.get(), &error, nullptr);
    why = TakeMessage(error);
  }
  LogDetail("movie " + uri + ": " + why);
  return false;
}

void GstMovie::ReadSize() {
  gst::PadPtr pad(gst_element_get_static_pad(sink_.get(), "sink"));
  if (!pad) return;
  gst::CapsPtr caps(gst_pad_get_current_caps(pad.get()));
  GstVideoInfo info;
  if (!caps || !gst_video_info_from_caps(&info, caps.get())) return;  // no picture
  width_ = GST_VIDEO_INFO_WIDTH(&info);
  height_ = GST_VIDEO_INFO_HEIGHT(&info);
}

void GstMovie::Play() {
  has_picture_ = false;
  at_start_ = false;
  gst_element_set_state(playbin_.get(), GST_STATE_PLAYING);
}

void GstMovie::StopAndRewind() {
  // The game stops every movie in each frame a movie key is held; one that has not played
  // since its last rewind (or its preroll) is already there.
  if (at_start_) return;
  at_start_ = true;
  gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
  gst_element_get_state(playbin_.get(), nullptr, nullptr, kPauseTimeout);
  // The flushing seek empties the picture queue too; what was shown stays in picture_.
  gst_element_seek_simple(playbin_.get(), GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0);
}

void GstMovie::SetVolume(int hundredths_db) {
  if (volume_ == hundredths_db) return;
  volume_ = hundredths_db;
  g_object_set(playbin_.get(), "volume", LinearGain(hundredths_db), nullptr);
}

void GstMovie::SetBalance(int balance) {
  if (balance_ == balance) return;
  balance_ = balance;
  g_object_set(panorama_.get(), "panorama", static_cast<gfloat>(Panorama(balance)), nullptr);
}

void GstMovie::DrainBus() {
  // Playback errors end the playback by themselves and nothing here acts on events (a movie
  // stays where it ended); the messages are only taken off so that they do not pile up.
  while (gst::MessagePtr(gst_bus_pop(bus_.get()))) {
  }
}

const MoviePicture* GstMovie::Picture() {
  DrainBus();
  gst::SamplePtr newest;
  while (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_.get()), 0)) {
    newest.reset(sample);
  }
  if (newest) {
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(newest.get());
    GstBuffer* buffer = gst_sample_get_buffer(newest.get());
    GstVideoFrame frame;
    if (caps != nullptr && buffer != nullptr && gst_video_info_from_caps(&info, caps) &&
        gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) {
      picture_.width = GST_VIDEO_FRAME_WIDTH(&frame);
      picture_.height = GST_VIDEO_FRAME_HEIGHT(&frame);
      const auto row_bytes = static_cast<std::size_t>(picture_.width) * 4;
      picture_.bgrx.resize(row_bytes * static_cast<std::size_t>(picture_.height));
      const auto* src = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
      const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
      for (int y = 0; y < picture_.height; ++y) {
        std::memcpy(picture_.bgrx.data() + row_bytes * static_cast<std::size_t>(y),
                    src + static_cast<std::ptrdiff_t>(stride) * y, row_bytes);
      }
      gst_video_frame_unmap(&frame);
      has_picture_ = true;
    }
  }
  return has_picture_ ? &picture_ : nullptr;
}

}  // namespace grumbol::platform
