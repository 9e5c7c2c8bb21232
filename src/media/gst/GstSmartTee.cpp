#include "media/gst/GstSmartTee.h"

#include "media/framework/Identifiers.h"
#include "media/gst/GstClassIds.h"

namespace media::gst {
namespace {

// A queue that has met "not linked" fails the pipeline when the end of
// stream reaches it, so while an output has no peer the frames the tee gives
// it are dropped before they are queued. Events still pass: the queue keeps
// the stream's sticky events for a peer linked later, and a frame never
// meets a pad that has not seen its stream start.
GstPadProbeReturn DropWhileUnconnected(GstPad*, GstPadProbeInfo*, gpointer outputGhost) {
  return gst_pad_is_linked(static_cast<GstPad*>(outputGhost)) ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
}

}  // namespace

GstSmartTee::GstSmartTee() : GstFilter(CLSID_GstSmartTee, u"Smart Tee") { complete_ = Build(); }

GstSmartTee::~GstSmartTee() {
  gst_element_set_state(Bin(), GST_STATE_NULL);
  if (captureSource_) gst_element_release_request_pad(tee_, captureSource_.get());
  if (previewSource_) gst_element_release_request_pad(tee_, previewSource_.get());
}

bool GstSmartTee::Build() {
  tee_ = AddElement("tee");
  if (!tee_) return false;
  g_object_set(tee_, "allow-not-linked", TRUE, nullptr);
  const PadRef teeSink = PadRef::Adopt(gst_element_get_static_pad(tee_, "sink"));
  AddPin(u"Input", PINDIR_INPUT, teeSink.get());
  return AddBranch(u"Capture", PIN_CATEGORY_CAPTURE, false, captureSource_) &&
         AddBranch(u"Preview", PIN_CATEGORY_PREVIEW, true, previewSource_);
}

GstPinPtr GstSmartTee::AddBranch(const std::u16string& name, const GUID& category, bool leaky, PadRef& teePad) {
  GstElement* queue = AddElement("queue");
  if (!queue) return nullptr;
  if (leaky)
    g_object_set(queue, "leaky", 2 /* downstream: drop the oldest */, "max-size-buffers", 1u, "max-size-bytes", 0u,
                 "max-size-time", guint64{0}, nullptr);
  teePad = PadRef::Adopt(gst_element_request_pad_simple(tee_, "src_%u"));
  const PadRef queueSink = PadRef::Adopt(gst_element_get_static_pad(queue, "sink"));
  const PadRef queueOut = PadRef::Adopt(gst_element_get_static_pad(queue, "src"));
  if (!teePad || gst_pad_link(teePad.get(), queueSink.get()) != GST_PAD_LINK_OK) return nullptr;
  GstPinPtr pin = AddPin(name, PINDIR_OUTPUT, queueOut.get(), category);
  if (leaky) {
    previewQueueIn_ = queueSink;
    previewQueueOut_ = queueOut;
  }
  gst_pad_add_probe(queueSink.get(), GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
                    DropWhileUnconnected, pin->Pad(), nullptr);
  return pin;
}

void GstSmartTee::PrepareRun() {
  const bool direct = Preview()->IsConnected() && !Capture()->IsConnected();
  if (direct == previewDirect_) return;
  GstPad* output = Preview()->Pad();
  if (direct) {
    gst_pad_unlink(previewSource_.get(), previewQueueIn_.get());
    gst_ghost_pad_set_target(GST_GHOST_PAD(output), previewSource_.get());
  } else {
    gst_ghost_pad_set_target(GST_GHOST_PAD(output), previewQueueOut_.get());
    gst_pad_link(previewSource_.get(), previewQueueIn_.get());
  }
  previewDirect_ = direct;
}

std::shared_ptr<GstSmartTee> GstSmartTee::Make() {
  auto tee = std::make_shared<GstSmartTee>();
  return tee->IsComplete() ? tee : nullptr;
}

GstPinPtr GstSmartTee::Capture() const { return PinOf(PINDIR_OUTPUT, PIN_CATEGORY_CAPTURE); }
GstPinPtr GstSmartTee::Preview() const { return PinOf(PINDIR_OUTPUT, PIN_CATEGORY_PREVIEW); }

}  // namespace media::gst
