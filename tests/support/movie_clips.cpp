#include "tests/support/movie_clips.h"

#include <sstream>

#include "platform/gstreamer/gst_handles.h"

namespace grumbol::testing {

bool MakeClip(const std::string& path, const ClipShape& shape) {
  namespace gst = platform::gst;
  gst::Library library;
  std::ostringstream launch;
  launch << "oggmux name=mux ! filesink name=out ";
  if (shape.video) {
    launch << "videotestsrc num-buffers=" << shape.frames << " pattern=" << shape.pattern
           << " foreground-color=" << (0xFF000000u | shape.rgb)
           << " ! video/x-raw,width=" << shape.width << ",height=" << shape.height
           << ",framerate=" << shape.fps << "/1 ! theoraenc ! mux. ";
  }
  if (shape.audio) {
    launch << "audiotestsrc num-buffers=" << shape.frames
           << " samplesperbuffer=" << 48000 / shape.fps
           << " ! audio/x-raw,rate=48000 ! vorbisenc ! mux.";
  }
  GstElement* parsed = gst_parse_launch(launch.str().c_str(), nullptr);
  if (parsed == nullptr) return false;
  gst::ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(parsed)));
  gst::ElementPtr out(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
  g_object_set(out.get(), "location", path.c_str(), nullptr);
  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  gst::BusPtr bus(gst_element_get_bus(pipeline.get()));
  gst::MessagePtr end(
      gst_bus_timed_pop_filtered(bus.get(), 30 * GST_SECOND,
                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  return end && GST_MESSAGE_TYPE(end.get()) == GST_MESSAGE_EOS;
}

}  // namespace grumbol::testing
