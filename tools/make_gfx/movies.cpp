#include "movies.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <optional>
#include <thread>

#include "art.h"
#include "canvas.h"
#include "platform/unique_handle.h"
#include "sounds.h"

namespace gfx {
namespace {

constexpr double kPi = std::numbers::pi;
// Small, so that the picture left over the score line after a clip hides little of it.
constexpr int kWidth = 256, kHeight = 192, kFps = 20;

using Scene = void (*)(cairo_t* cr, double t, double length);

struct Clip {
  int number;
  double seconds;
  Scene scene;  // null: sound only
};

// -- Scenes ------------------------------------------------------------------------------

constexpr FishLook kLooks[] = {
    kClownFish,
    {0x2A6FE0, 0x8CC4FF, 0xFFD21E, 0x0A1A40, 0xFFFFFF, false},
    {0xFFD21E, 0xFFF4A0, 0xFF9A20, 0x4A3000, 0xFFFFFF, false},
    {0x3CC070, 0xC8F0A0, 0x1E8A50, 0x0A3018, 0xFFFFFF, false},
    {0xFF70A8, 0xFFD0E0, 0xC04080, 0x400A20, 0xFFFFFF, true},
};

void Fish(cairo_t* cr, const FishLook& look, double x, double y, double scale, double t,
          bool left = false) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, left ? -scale : scale, scale);
  cairo_translate(cr, -48, -15.5);
  DrawFish(cr, look, FishEyes::kOpen, std::sin(t * 12));
  cairo_restore(cr);
}

double Ease(double x) {
  x = std::clamp(x, 0.0, 1.0);
  return x * x * (3 - 2 * x);
}

// Falls from above and settles with two small bounces; 0 before, 1 once landed.
double Drop(double x) {
  if (x <= 0) return 0;
  if (x < 1) return x * x;
  const double after = x - 1;
  return 1 - 0.18 * std::abs(std::sin(after * kPi * 2)) * std::exp(-after * 5);
}

void FishSchool(cairo_t* cr, double t, double /*length*/) {
  DrawSeaScene(cr, kWidth, kHeight, 158, t, 2);
  for (int i = 0; i < 11; ++i) {
    const double row = i % 3, column = i / 3.0;
    const double x = -190 + column * 55 + row * 18 + t * 44 + 6 * std::sin(t * 1.3 + i);
    const double y = 42 + row * 38 + 8 * std::sin(t * 2.2 + x * 0.02);
    Fish(cr, kLooks[i % 5], x, y, 0.5 + 0.06 * (i % 4), t + i * 0.4);
  }
  for (int i = 0; i < 6; ++i) {
    const double y = std::fmod(200 - t * (30 + i * 6) + i * 60, 200);
    DrawBubble(cr, 20 + i * 42 + 4 * std::sin(t * 3 + i), y, 2 + i % 3);
  }
}

void TreasureChest(cairo_t* cr, double t, double length) {
  DrawSeaScene(cr, kWidth, kHeight, 150, t, 3);
  const double open = Ease((t - 2.0) / 0.5);
  // While shut, the lid rattles as the treasure's bubbles push it.
  const double rattle = open == 0 ? std::max(0.0, std::sin(t * 9)) * 3 * std::min(1.0, t) : 0;
  cairo_save(cr);
  cairo_translate(cr, 48, 48 - rattle * 0.3);
  cairo_scale(cr, 0.8, 0.8);
  DrawChest(cr, std::max(open, rattle * 0.03));
  cairo_restore(cr);
  Rng rng(31);
  for (int i = 0; i < 16; ++i) {
    const double start = rng.Uniform(0, length), speed = rng.Uniform(35, 70),
                 x = rng.Uniform(70, 190);
    const double age = std::fmod(t - start + length, length);
    if (open == 0 && i % 3) continue;  // only a trickle through the shut lid
    DrawBubble(cr, x + 5 * std::sin(age * 4 + i), 110 - age * speed, 2 + i % 4);
  }
  if (open > 0) {
    // Coins thrown up in arcs, sparkles twinkling over the gold.
    for (int i = 0; i < 7; ++i) {
      const double age = t - 2.2 - i * 0.12;
      if (age <= 0) continue;
      const double x = 128 + (i - 3) * 16 * age, y = 100 - 120 * age + 90 * age * age;
      if (y > 112) continue;
      Ellipse(cr, x, y, 5, 5 * std::abs(std::cos(age * 9)) + 0.8);
      FillStroke(cr, 0xF2C230, 0x8A5A00, 1);
    }
    for (int i = 0; i < 8; ++i) {
      const double twinkle = std::sin(t * 5 + i * 1.7);
      if (twinkle > 0)
        DrawSparkle(cr, 70 + i * 16, 60 + (i * 37) % 40, 6 * twinkle * open, 0xFFFBD0);
    }
  }
}

void DiverScene(cairo_t* cr, double t, double /*length*/) {
  DrawSeaScene(cr, kWidth, kHeight, 160, t, 4);
  const double arrive = Ease(t / 3.0);
  const double x = -140 + arrive * 200, y = 34 + 6 * std::sin(t * 1.6);
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, 0.7, 0.7);
  DrawDiver(cr, t * 4);
  cairo_restore(cr);
  for (double burst : {1.0, 3.3, 5.3}) {
    for (int i = 0; i < 5; ++i) {
      const double age = t - burst - i * 0.08;
      if (age < 0 || age > 2.5) continue;
      DrawBubble(cr, x + 100 + 6 * std::sin(age * 5 + i), y + 36 - age * 45 - i * 8,
                 3 + i % 3 * 1.5);
    }
  }
  const double fish_x = -60 + t * 60;
  Fish(cr, kLooks[0], fish_x, 150, 0.4, t);
  Fish(cr, kLooks[2], fish_x - 40, 140, 0.35, t + 1);
}

void TitleScene(cairo_t* cr, double t, double /*length*/) {
  auto sky = Linear(0, 0, 0, kHeight);
  AddStop(sky.get(), 0, 0x1E6AB0);
  AddStop(sky.get(), 1, 0x082048);
  cairo_set_source(cr, sky.get());
  cairo_paint(cr);
  for (int i = 0; i < 4; ++i) {
    const double x = 30 + i * 70 + 8 * std::sin(t + i);
    cairo_move_to(cr, x - 8, 0);
    cairo_line_to(cr, x + 8, 0);
    cairo_line_to(cr, x + 40, kHeight);
    cairo_line_to(cr, x + 10, kHeight);
    cairo_close_path(cr);
    SetRgb(cr, 0xFFFFFF, 0.06);
    cairo_fill(cr);
  }
  const char* letters[] = {"G", "R", "U", "M", "B", "O", "L"};
  for (int i = 0; i < 7; ++i) {
    const double fall = Drop((t - 0.6 - i * 0.32 + 0.35) / 0.35);
    if (fall == 0) continue;
    const double y = -30 + fall * 100;
    DrawTitleText(cr, letters[i], 26 + i * 34, y, 40, 0xFFF07A, 0xFF8A1E, 0x2A1000);
  }
  const double pop = Ease((t - 2.9) / 0.3);
  if (pop > 0) {
    cairo_save(cr);
    cairo_translate(cr, 128, 112);
    cairo_scale(cr, pop, pop);
    DrawTitleText(cr, "Fischjagd!", 0, 0, 22, 0xFFFFFF, 0xA8E4FF, 0x0A2A50);
    cairo_restore(cr);
  }
  Fish(cr, kClownFish, -60 + t * 62, 158, 0.55, t);
  for (int i = 0; i < 5; ++i)
    DrawBubble(cr, 20 + i * 52, std::fmod(200 - t * 40 + i * 47, 200), 2.5 + i % 2);
}

void MusicNote(cairo_t* cr, double x, double y, std::uint32_t colour) {
  Ellipse(cr, x, y, 5, 3.6);
  SetRgb(cr, colour);
  cairo_fill(cr);
  cairo_move_to(cr, x + 4.2, y);
  cairo_line_to(cr, x + 4.2, y - 18);
  cairo_curve_to(cr, x + 8, y - 15, x + 12, y - 14, x + 10, y - 8);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

void OctopusScene(cairo_t* cr, double t, double /*length*/) {
  DrawSeaScene(cr, kWidth, kHeight, 165, t, 6);
  const double beat = t * 3;  // a waltz: one bar a second
  const double bob = 6 * std::abs(std::sin(beat * kPi / 3));
  cairo_save(cr);
  cairo_translate(cr, 34, 30 - bob);
  cairo_scale(cr, 0.75, 0.75);
  DrawOctopus(cr, t * 2 * kPi);
  cairo_restore(cr);
  constexpr std::uint32_t kNotes[] = {0xFFFFFF, 0xFFE040, 0xFF90C0};
  for (int i = 0; i < 6; ++i) {
    const double age = std::fmod(t + i * 0.55, 3.3);
    MusicNote(cr, (i % 2 ? 200 : 40) + 12 * std::sin(age * 3 + i), 150 - age * 40, kNotes[i % 3]);
  }
}

void CelebrationScene(cairo_t* cr, double t, double /*length*/) {
  auto sky = Linear(0, 0, 0, kHeight);
  AddStop(sky.get(), 0, 0x3A2A90);
  AddStop(sky.get(), 1, 0x0A1A50);
  cairo_set_source(cr, sky.get());
  cairo_paint(cr);
  // Bubble fireworks: rings of bubbles bursting out of points of light.
  Rng rng(77);
  for (int burst = 0; burst < 7; ++burst) {
    const double at = 0.3 + burst * 0.8, cx = rng.Uniform(40, 216);
    const double cy = burst % 2 ? rng.Uniform(18, 40) : rng.Uniform(135, 160);
    const std::uint32_t colour = kLooks[burst % 5].back;
    const double age = t - at;
    if (age < 0 || age > 1.6) continue;
    for (int i = 0; i < 12; ++i) {
      const double a = i * 2 * kPi / 12 + burst, d = 70 * (1 - std::exp(-age * 3));
      const double x = cx + d * std::cos(a), y = cy + d * std::sin(a) + 12 * age * age;
      if (i % 2)
        DrawBubble(cr, x, y, 5 * (1 - age / 1.8), true);
      else
        DrawSparkle(cr, x, y, 7 * (1 - age / 1.8), Mix(colour, 0xFFFFFF, 0.3));
    }
    DrawSparkle(cr, cx, cy, 16 * std::exp(-age * 3), 0xFFFFFF);
  }
  // Fish leaping across in arcs.
  for (int i = 0; i < 3; ++i) {
    const double age = std::fmod(t + i * 1.3, 3.0) / 3.0;
    const double x = -40 + age * 340, y = 175 - 90 * std::sin(age * kPi);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -std::cos(age * kPi) * 0.6);
    Fish(cr, kLooks[(i + 1) % 5], 0, 0, 0.6, t);
    cairo_restore(cr);
  }
  // Grows in from nothing (a zero scale would break the drawing context).
  const double pulse = std::max(0.01, Ease(t / 0.5)) * (1 + 0.06 * std::sin(t * 7));
  cairo_save(cr);
  cairo_translate(cr, 128, 82);
  cairo_scale(cr, pulse, pulse);
  DrawTitleText(cr, "2200!", 0, 0, 56, 0xFFF6A0, 0xFFA020, 0x3A1A00);
  cairo_restore(cr);
  if (t > 1.55)
    DrawTitleText(cr, "Super!", 128, 128, 22 * Ease((t - 1.5) / 0.3), 0xFFFFFF, 0xFFC0E0, 0x400A30);
  DrawStarfish(cr, 22, 170, 14, t * 2, 0xFF7A3A);
  DrawStarfish(cr, 234, 170, 14, -t * 2, 0xF0B030);
}

constexpr std::array<Clip, 7> kMovies = {{
    {1, 7.6, nullptr},
    {2, 6.6, FishSchool},
    {3, 5.5, TreasureChest},
    {4, 6.5, DiverScene},
    {5, 5.2, TitleScene},
    {6, 6.2, OctopusScene},
    {7, 6.6, CelebrationScene},
}};

std::string FileName(int number) { return "Movie" + std::to_string(number) + ".qzm"; }

// -- Encoding ----------------------------------------------------------------------------

using ElementPtr = grumbol::platform::UniqueHandle<GstElement, gst_object_unref>;
using BusPtr = grumbol::platform::UniqueHandle<GstBus, gst_object_unref>;
using MessagePtr = grumbol::platform::UniqueHandle<GstMessage, gst_message_unref>;

// Stops the pipeline whichever way the encoding ends.
struct StopPipeline {
  void operator()(GstElement* pipeline) const { gst_element_set_state(pipeline, GST_STATE_NULL); }
};

// One EBML element's header: its identifier (marker bits kept) and content size.
struct EbmlElement {
  std::uint32_t id = 0;
  std::uint64_t size = 0;
  std::size_t content = 0;  // where the content starts
  bool unknown_size = false;
};

// The element at `pos`, or nullopt where the bytes are not one.
std::optional<EbmlElement> ReadElement(const std::vector<std::uint8_t>& data, std::size_t pos) {
  const auto width = [&](std::size_t at, int most) -> int {
    if (at >= data.size() || data[at] == 0) return 0;
    const int bytes = std::countl_zero(data[at]) + 1;
    return bytes <= most && data.size() - at >= static_cast<std::size_t>(bytes) ? bytes : 0;
  };
  EbmlElement element;
  const int id_bytes = width(pos, 4);
  if (id_bytes == 0) return std::nullopt;
  for (int i = 0; i < id_bytes; ++i) element.id = element.id << 8 | data[pos + i];
  const std::size_t size_at = pos + id_bytes;
  const int size_bytes = width(size_at, 8);
  if (size_bytes == 0) return std::nullopt;
  std::uint64_t size = data[size_at] & (0xFFu >> size_bytes);
  for (int i = 1; i < size_bytes; ++i) size = size << 8 | data[size_at + i];
  element.unknown_size = size == (std::uint64_t{1} << (7 * size_bytes)) - 1;
  element.content = size_at + size_bytes;
  element.size = element.unknown_size ? data.size() - element.content : size;
  if (element.size > data.size() - element.content) return std::nullopt;
  return element;
}

enum class WebmTracks { kNumbered, kShortIdentifier, kMalformed };

// The muxer gives each track a random identifier; numbering them 1, 2, ... in order makes
// the files the same every run. The track list holds them, and the tags name them again.
// An identifier whose first byte the muxer drew as zero is written a byte shorter, and so
// would the number in its place be: kShortIdentifier, for the file to be made again.
WebmTracks NumberWebmTracks(std::vector<std::uint8_t>& data) {
  constexpr std::uint32_t kSegment = 0x18538067, kTracks = 0x1654AE6B, kTrackEntry = 0xAE,
                          kTrackUid = 0x73C5, kTags = 0x1254C367, kTag = 0x7373, kTargets = 0x63C0,
                          kTagTrackUid = 0x63C5;
  std::vector<std::uint64_t> uids;  // the muxer's, in track order
  bool short_identifier = false;
  const auto renumber = [&](const EbmlElement& element, bool is_track) {
    std::uint64_t uid = 0;
    for (std::size_t i = 0; i < element.size; ++i) uid = uid << 8 | data[element.content + i];
    auto found = std::find(uids.begin(), uids.end(), uid);
    if (found == uids.end() && is_track) found = uids.insert(uids.end(), uid);
    if (found == uids.end()) return false;  // a tag for a track that is not there
    std::uint64_t number = static_cast<std::uint64_t>(found - uids.begin()) + 1;
    for (std::size_t i = element.size; i-- > 0; number >>= 8)
      data[element.content + i] = static_cast<std::uint8_t>(number);
    return true;
  };
  // Walks [begin, end), going into the elements that lead to the identifiers.
  const auto walk = [&](auto& self, std::size_t begin, std::size_t end) -> bool {
    for (std::size_t pos = begin; pos < end;) {
      const auto element = ReadElement(data, pos);
      if (!element || element->content + element->size > end) return false;
      switch (element->id) {
        case kSegment:
        case kTracks:
        case kTrackEntry:
        case kTags:
        case kTag:
        case kTargets:
          if (!self(self, element->content, element->content + element->size)) return false;
          break;
        case kTrackUid:
        case kTagTrackUid:
          if (element->size > 8 || !renumber(*element, element->id == kTrackUid)) return false;
          short_identifier = short_identifier || element->size < 8;
          break;
        default: break;
      }
      pos = element->content + element->size;
    }
    return true;
  };
  if (!walk(walk, 0, data.size()) || uids.empty()) return WebmTracks::kMalformed;
  return short_identifier ? WebmTracks::kShortIdentifier : WebmTracks::kNumbered;
}

bool Fail(const std::string& what) {
  std::fprintf(stderr, "make-gfx: %s\n", what.c_str());
  return false;
}

void PushAudio(GstElement* source, const std::vector<std::int16_t>& samples) {
  constexpr std::size_t kChunk = 4096;
  for (std::size_t at = 0; at < samples.size(); at += kChunk) {
    const std::size_t count = std::min(kChunk, samples.size() - at);
    GstBuffer* buffer = gst_buffer_new_memdup(&samples[at], count * 2);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(at, GST_SECOND, kSampleRate);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(count, GST_SECOND, kSampleRate);
    gst_app_src_push_buffer(GST_APP_SRC(source), buffer);  // takes the buffer
  }
  gst_app_src_end_of_stream(GST_APP_SRC(source));
}

void PushVideo(GstElement* source, const Clip& clip) {
  const int frames = static_cast<int>(std::lround(clip.seconds * kFps));
  for (int i = 0; i < frames; ++i) {
    Canvas canvas(kWidth, kHeight);
    clip.scene(canvas.cr(), static_cast<double>(i) / kFps, clip.seconds);
    GstBuffer* buffer =
        gst_buffer_new_memdup(canvas.Data(), static_cast<gsize>(canvas.Stride()) * kHeight);
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale(i, GST_SECOND, kFps);
    GST_BUFFER_DURATION(buffer) = gst_util_uint64_scale(1, GST_SECOND, kFps);
    gst_app_src_push_buffer(GST_APP_SRC(source), buffer);
  }
  gst_app_src_end_of_stream(GST_APP_SRC(source));
}

bool Encode(const std::filesystem::path& path, const Clip& clip, int tries = 8) {
  const std::string audio_caps =
      "audio/x-raw,format=S16LE,layout=interleaved,channels=1,rate=" + std::to_string(kSampleRate);
  const std::string video_caps = "video/x-raw,format=BGRx,width=" + std::to_string(kWidth) +
                                 ",height=" + std::to_string(kHeight) +
                                 ",framerate=" + std::to_string(kFps) + "/1";
  // WebM with VP9 and Vorbis, which browsers and GStreamer's good and base plugins all play
  // (Chromium fails to seek in this muxer's Opus tracks, and a held movie key seeks every
  // frame). The encoder's settings are fixed (no real-time deadline, a set number of threads)
  // so that the files come out the same every run; index entries every half second keep a
  // sound-only file's index small.
  std::string launch =
      "webmmux name=mux min-index-interval=500000000 ! filesink name=out "
      "appsrc name=audio format=time caps=\"" +
      audio_caps + "\" ! audioconvert ! vorbisenc quality=0.4 ! queue ! mux. ";
  if (clip.scene != nullptr) {
    launch += "appsrc name=video format=time caps=\"" + video_caps +
              "\" ! videoconvert ! vp9enc deadline=1000000 cpu-used=4 threads=2 row-mt=true "
              "end-usage=cq cq-level=30 target-bitrate=3000000 ! queue ! mux.";
  }
  GError* error = nullptr;
  GstElement* parsed = gst_parse_launch(launch.c_str(), &error);
  if (parsed == nullptr || error != nullptr) {
    const std::string message = error != nullptr ? error->message : "unknown error";
    if (error != nullptr) g_error_free(error);
    if (parsed != nullptr) gst_object_unref(parsed);
    return Fail("cannot build the movie encoder: " + message);
  }
  ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(parsed)));
  ElementPtr out(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
  ElementPtr audio(gst_bin_get_by_name(GST_BIN(pipeline.get()), "audio"));
  ElementPtr video(gst_bin_get_by_name(GST_BIN(pipeline.get()), "video"));
  const std::string partial = path.string() + ".partial";
  g_object_set(out.get(), "location", partial.c_str(), nullptr);
  {
    // A fixed date in place of the time of encoding: Matroska's own epoch, 2001-01-01.
    ElementPtr mux(gst_bin_get_by_name(GST_BIN(pipeline.get()), "mux"));
    GDateTime* epoch = g_date_time_new_utc(2001, 1, 1, 0, 0, 0);
    g_object_set(mux.get(), "creation-time", epoch, nullptr);
    g_date_time_unref(epoch);
  }
  {
    std::unique_ptr<GstElement, StopPipeline> running(pipeline.get());
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
      return Fail("cannot start the encoder for " + path.filename().string());
    PushAudio(audio.get(), MovieSoundtrack(clip.number, clip.seconds));
    if (video) PushVideo(video.get(), clip);
    BusPtr bus(gst_element_get_bus(pipeline.get()));
    MessagePtr end(gst_bus_timed_pop_filtered(
        bus.get(), 60 * GST_SECOND,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    if (!end || GST_MESSAGE_TYPE(end.get()) != GST_MESSAGE_EOS)
      return Fail("encoding " + path.filename().string() + " failed");
  }
  std::vector<std::uint8_t> bytes;
  {
    std::ifstream in(partial, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  switch (NumberWebmTracks(bytes)) {
    case WebmTracks::kMalformed:
      return Fail(path.filename().string() + ": not a well-formed WebM file");
    case WebmTracks::kShortIdentifier:
      if (tries > 1) return Encode(path, clip, tries - 1);  // new identifiers, 255 in 256 good
      return Fail(path.filename().string() + ": the muxer's track identifiers stay short");
    case WebmTracks::kNumbered: break;
  }
  {
    std::ofstream rewrite(partial, std::ios::binary | std::ios::trunc);
    rewrite.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    if (!rewrite) return Fail("cannot write " + partial);
  }
  std::error_code renamed;
  std::filesystem::rename(partial, path, renamed);
  return !renamed || Fail("cannot write " + path.string());
}

}  // namespace

std::vector<std::string> MovieNames() {
  std::vector<std::string> names;
  for (const Clip& clip : kMovies) names.push_back(FileName(clip.number));
  return names;
}

bool WriteMovies(const std::filesystem::path& dir) {
  GError* error = nullptr;
  if (!gst_init_check(nullptr, nullptr, &error)) {
    const std::string message = error != nullptr ? error->message : "unknown error";
    if (error != nullptr) g_error_free(error);
    return Fail("GStreamer does not start: " + message);
  }
  // Two at a time: drawing the frames and encoding them keep both cores busy.
  std::atomic<std::size_t> next{0};
  std::atomic<bool> ok{true};
  auto work = [&] {
    for (std::size_t i = next++; i < kMovies.size() && ok; i = next++)
      if (!Encode(dir / FileName(kMovies[i].number), kMovies[i])) ok = false;
  };
  {
    std::jthread helper(work);
    work();
  }
  return ok;
}

bool WriteMoviePreviews(const std::filesystem::path& dir) {
  constexpr int kGap = 4;
  for (const Clip& clip : kMovies) {
    if (clip.scene == nullptr) continue;
    Image sheet{3 * kWidth + 2 * kGap, 2 * kHeight + kGap, {}};
    sheet.rgb.assign(static_cast<std::size_t>(sheet.width) * sheet.height, 0x202020);
    const int frames = static_cast<int>(std::lround(clip.seconds * kFps));
    for (int i = 0; i < 6; ++i) {
      const int frame = i == 5 ? frames - 1 : i * frames / 5;  // the last one stays on screen
      Canvas canvas(kWidth, kHeight);
      clip.scene(canvas.cr(), static_cast<double>(frame) / kFps, clip.seconds);
      const Image picture = canvas.Opaque();
      const int left = (i % 3) * (kWidth + kGap), top = (i / 3) * (kHeight + kGap);
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
          sheet.rgb[static_cast<std::size_t>(top + y) * sheet.width + left + x] = picture.At(x, y);
    }
    const std::string png = (dir / ("movie" + std::to_string(clip.number) + ".png")).string();
    if (!WritePng(sheet, png.c_str())) return Fail("cannot write " + png);
  }
  return true;
}

}  // namespace gfx
