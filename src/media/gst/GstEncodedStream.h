#pragma once
#include <gst/gst.h>

#include <functional>

#include "media/gst/GstRef.h"

namespace media::gst {

// The output side of an encoder stage, watched at the sink pad of the
// element behind the encoder. The muxer writes buffer times as they come,
// and the encoders start theirs 1000 hours in (room for decoding times that
// precede presentation times), which would put the file's send and
// presentation times there and wrap them after a few days. Here every buffer
// gets its running time instead, so a stream starts near zero, and one
// plain time segment goes downstream.
//
// When the stage swaps its encoder mid-stream, the new encoder starts its own
// stream (stream-start, caps, segment with its own offset): those are taken
// in (the segment still converts that encoder's times) but not passed on, so
// downstream sees one unbroken stream. Caps that differ from the first are
// passed on.
//
// Streaming thread only, apart from construction and destruction (while no
// data flows). The stage calls Restart when a new stream enters it, before
// any of its data comes out.
class GstEncodedStream {
 public:
  // Called with the byte count of every encoded buffer, after restamping.
  using Counter = std::function<void(gsize bytes)>;

  // Installs the probe on `pad` (not owned; it must outlive the object).
  GstEncodedStream(GstPad* pad, Counter counter = nullptr);
  ~GstEncodedStream();
  GstEncodedStream(const GstEncodedStream&) = delete;
  GstEncodedStream& operator=(const GstEncodedStream&) = delete;

  void Restart();

 private:
  static GstPadProbeReturn OnProbe(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  GstPadProbeReturn OnEvent(GstPadProbeInfo* info);
  GstPadProbeReturn OnBuffer(GstPadProbeInfo* info);

  GstPad* pad_;
  gulong probe_ = 0;
  Counter counter_;
  GstSegment segment_;
  bool started_ = false;
  bool segmentSent_ = false;
  CapsRef caps_;  // the caps passed on
};

}  // namespace media::gst
