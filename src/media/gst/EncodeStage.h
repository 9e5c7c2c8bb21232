#pragma once
#include <gst/gst.h>

#include <initializer_list>
#include <memory>

#include "media/gst/GstEncodedStream.h"
#include "media/gst/GstRef.h"

namespace media::gst {

// What the ASF writer's audio and video stages share: a chain of elements
// inside the writer's bin,
//
//   gate -> <conversion> -> format -> encoder -> out
//
// The gate (a caps filter) takes the stage's kind of media while the profile
// has it and nothing otherwise, so an input pin the profile does not use
// connects to nothing. `format` holds the profile's raw format; the encoder
// is replaced when the settings change (an encoder takes its settings only
// when it opens). GstEncodedStream at `out` restamps the result from zero,
// restarted when a new stream enters the encoder. The elements are owned by
// the bin; the stage keeps plain pointers to them.
//
// User-interface thread while the bin is stopped, apart from the probes.
class EncodeStage {
 public:
  EncodeStage(const EncodeStage&) = delete;
  EncodeStage& operator=(const EncodeStage&) = delete;

  // False when an element is not installed.
  bool IsComplete() const { return complete_; }
  GstPad* SinkPad() const { return sinkPad_.get(); }
  GstPad* SrcPad() const { return srcPad_.get(); }

 protected:
  explicit EncodeStage(GstBin* bin) : bin_(bin) {}
  // Removes the probe on the format's output. The bin is stopped by then.
  virtual ~EncodeStage();

  // Makes the chain up to `format`, the conversion elements by factory
  // name in order, and `out`, with the restamping stream (`counter` gets
  // the size of each coded frame) and the watch on the encoder's input;
  // false when an element is missing or will not link.
  bool BuildChain(std::initializer_list<const char*> conversion, GstEncodedStream::Counter counter = nullptr);
  // Streaming thread: a new stream enters the encoder (after the restamping
  // restarted), and a frame does (dropped unless OK is answered).
  virtual void OnNewStream() {}
  virtual GstPadProbeReturn OnInputBuffer() { return GST_PAD_PROBE_OK; }
  // Lets `media` ("video/x-raw", "audio/x-raw") through the gate, or nothing.
  void OpenGate(const char* media, bool open);
  void SetFormat(const CapsRef& caps);
  // Links `encoder` (a new, floating one) between format and out.
  void LinkEncoder(GstElement* encoder);
  // The same in place of the current encoder, which is shut down first.
  void ReplaceEncoder(GstElement* encoder);

  GstBin* bin_;  // not owned: the stage lives inside it
  GstElement* gate_ = nullptr;
  GstElement* format_ = nullptr;
  GstElement* encoder_ = nullptr;
  GstElement* out_ = nullptr;
  PadRef sinkPad_, srcPad_;
  std::unique_ptr<GstEncodedStream> stream_;  // nil until the chain is built
  bool complete_ = false;

 private:
  static GstPadProbeReturn OnInput(GstPad* pad, GstPadProbeInfo* info, gpointer self);

  gulong inputProbe_ = 0;
  guint32 streamSeqnum_ = GST_SEQNUM_INVALID;
};

}  // namespace media::gst
