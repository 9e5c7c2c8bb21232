#include "media/gst/EncodeStage.h"

namespace media::gst {
namespace {

GstElement* AddTo(GstBin* bin, const char* factory) {
  GstElement* element = gst_element_factory_make(factory, nullptr);
  if (element) gst_bin_add(bin, element);
  return element;
}

}  // namespace

EncodeStage::~EncodeStage() {
  if (!inputProbe_) return;
  const PadRef input = PadRef::Adopt(gst_element_get_static_pad(format_, "src"));
  gst_pad_remove_probe(input.get(), inputProbe_);
}

bool EncodeStage::BuildChain(std::initializer_list<const char*> conversion, GstEncodedStream::Counter counter) {
  gate_ = AddTo(bin_, "capsfilter");
  if (!gate_) return false;
  GstElement* last = gate_;
  for (const char* factory : conversion) {
    GstElement* next = AddTo(bin_, factory);
    if (!next || !gst_element_link(last, next)) return false;
    last = next;
  }
  format_ = AddTo(bin_, "capsfilter");
  out_ = AddTo(bin_, "identity");
  if (!format_ || !out_ || !gst_element_link(last, format_)) return false;
  sinkPad_ = PadRef::Adopt(gst_element_get_static_pad(gate_, "sink"));
  srcPad_ = PadRef::Adopt(gst_element_get_static_pad(out_, "src"));
  const PadRef output = PadRef::Adopt(gst_element_get_static_pad(out_, "sink"));
  stream_ = std::make_unique<GstEncodedStream>(output.get(), std::move(counter));
  const PadRef input = PadRef::Adopt(gst_element_get_static_pad(format_, "src"));
  inputProbe_ = gst_pad_add_probe(input.get(),
                                  GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                                  &EncodeStage::OnInput, this, nullptr);
  return true;
}

GstPadProbeReturn EncodeStage::OnInput(GstPad*, GstPadProbeInfo* info, gpointer self) {
  auto* stage = static_cast<EncodeStage*>(self);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) return stage->OnInputBuffer();
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  // A relinked pad (an encoder swapped in) sends its sticky events again:
  // the same stream-start (same sequence number) is no new stream.
  if (GST_EVENT_TYPE(event) == GST_EVENT_STREAM_START && gst_event_get_seqnum(event) != stage->streamSeqnum_) {
    stage->streamSeqnum_ = gst_event_get_seqnum(event);
    stage->stream_->Restart();
    stage->OnNewStream();
  }
  return GST_PAD_PROBE_OK;
}

void EncodeStage::OpenGate(const char* media, bool open) {
  const CapsRef gate = CapsRef::Adopt(open ? gst_caps_new_empty_simple(media) : gst_caps_new_empty());
  g_object_set(gate_, "caps", gate.get(), nullptr);
}

void EncodeStage::SetFormat(const CapsRef& caps) { g_object_set(format_, "caps", caps.get(), nullptr); }

void EncodeStage::LinkEncoder(GstElement* encoder) {
  gst_bin_add(bin_, encoder);
  gst_element_link_many(format_, encoder, out_, nullptr);
  encoder_ = encoder;
}

void EncodeStage::ReplaceEncoder(GstElement* encoder) {
  if (encoder_) {
    gst_element_set_state(encoder_, GST_STATE_NULL);
    gst_bin_remove(bin_, encoder_);
  }
  LinkEncoder(encoder);
}

}  // namespace media::gst
