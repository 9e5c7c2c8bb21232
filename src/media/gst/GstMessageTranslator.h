#pragma once
#include <optional>

#include "media/gst/GstEventQueue.h"
#include "media/gst/GstRef.h"

namespace media::gst {

// What a message on a graph's bus stands for as a platform event:
//   end of stream                       -> EC_COMPLETE (S_OK, 0)
//   error from a capture device while
//   the graph runs (resource errors)    -> EC_DEVICE_LOST (the device's filter, 0 = removed)
//   any other error                     -> EC_ERRORABORT (failing result of the error)
//   clock lost                          -> EC_CLOCK_UNSET
//   a graph event a filter posts        -> that event (NewGraphEventMessage)
// Clock changes and state bookkeeping are the graph's (GstGraphBus). Any
// thread.
class GstMessageTranslator {
 public:
  static std::optional<GraphEvent> Translate(GstMessage* message, GstElement* pipeline, bool running);

  // A message by which a filter's element raises a platform event of its own
  // (a renderer's EC_VIDEO_SIZE_CHANGED, for instance); post it on the
  // element's bus. Parameters are plain integers.
  static MessageRef NewGraphEventMessage(GstObject* source, LONG code, LONG_PTR param1, LONG_PTR param2);

  // The failing result that stands for a GStreamer error. fromDevice: the
  // error came from a capture device (a missing resource is then a
  // disconnected device rather than a missing file).
  // flow: the flow return a streaming failure carries (GST_FLOW_OK when none).
  static HRESULT ResultOfError(const GError* error, bool fromDevice, GstFlowReturn flow = GST_FLOW_OK);

  // The direct child of `pipeline` that holds `object` (object itself when
  // it is one); nil when it is in none.
  static ElementRef FilterBinOf(GstObject* object, GstElement* pipeline);
};

}  // namespace media::gst
