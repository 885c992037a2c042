#pragma once

#include <gst/gst.h>

#include "platform/unique_handle.h"

namespace grumbol::platform::gst {

// One owner per GStreamer object or mini-object: each drops the owner's reference.
using ElementPtr = UniqueHandle<GstElement, gst_object_unref>;
using BusPtr = UniqueHandle<GstBus, gst_object_unref>;
using PadPtr = UniqueHandle<GstPad, gst_object_unref>;
using MessagePtr = UniqueHandle<GstMessage, gst_message_unref>;
using SamplePtr = UniqueHandle<GstSample, gst_sample_unref>;
using CapsPtr = UniqueHandle<GstCaps, gst_caps_unref>;

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
