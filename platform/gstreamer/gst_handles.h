#pragma once

#include <gst/gst.h>

#include <memory>

namespace grumbol::platform::gst {

// One owner per GStreamer object or mini-object: these drop the owner's reference.
struct ObjectUnref {
  void operator()(gpointer object) const { gst_object_unref(object); }
};
struct MessageUnref {
  void operator()(GstMessage* message) const { gst_message_unref(message); }
};
struct SampleUnref {
  void operator()(GstSample* sample) const { gst_sample_unref(sample); }
};
struct CapsUnref {
  void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};

template <typename T>
using ObjectPtr = std::unique_ptr<T, ObjectUnref>;
using ElementPtr = ObjectPtr<GstElement>;
using BusPtr = ObjectPtr<GstBus>;
using PadPtr = ObjectPtr<GstPad>;
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;
using SamplePtr = std::unique_ptr<GstSample, SampleUnref>;
using CapsPtr = std::unique_ptr<GstCaps, CapsUnref>;

// A new element of the factory, owned (its floating reference taken); null when the
// factory is not installed.
inline ElementPtr MakeElement(const char* factory) {
  GstElement* element = gst_element_factory_make(factory, nullptr);
  return ElementPtr(element != nullptr ? GST_ELEMENT(gst_object_ref_sink(element)) : nullptr);
}

// GStreamer initialised for this process. GStreamer cannot be initialised again once it has
// been shut down, and the program may start its movies more than once, so the library stays
// up to the end of the process; this object stands for having brought it up.
class Library {
 public:
  Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  bool Ready() const { return ready_; }

 private:
  bool ready_ = false;
};

}  // namespace grumbol::platform::gst
