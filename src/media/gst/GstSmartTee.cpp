#include "media/gst/GstSmartTee.h"

#include "media/framework/Identifiers.h"
#include "media/gst/GstClassIds.h"

namespace media::gst {
namespace {

// An unconnected queue fails the pipeline when the end of stream reaches it,
// so while the preview output has no peer the queue is bypassed: what the
// tee gives it is dropped before it is queued.
GstPadProbeReturn DropWhileUnconnected(GstPad*, GstPadProbeInfo* info, gpointer previewGhost) {
  if (gst_pad_is_linked(static_cast<GstPad*>(previewGhost))) return GST_PAD_PROBE_OK;
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_QUERY_DOWNSTREAM) return GST_PAD_PROBE_OK;
  return GST_PAD_PROBE_DROP;
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
  preview_ = AddElement("queue");
  if (!tee_ || !preview_) return false;
  g_object_set(tee_, "allow-not-linked", TRUE, nullptr);
  g_object_set(preview_, "leaky", 2 /* downstream: drop the oldest */, "max-size-buffers", 1u, "max-size-bytes", 0u,
               "max-size-time", guint64{0}, nullptr);
  captureSource_ = PadRef::Adopt(gst_element_request_pad_simple(tee_, "src_%u"));
  previewSource_ = PadRef::Adopt(gst_element_request_pad_simple(tee_, "src_%u"));
  const PadRef previewSink = PadRef::Adopt(gst_element_get_static_pad(preview_, "sink"));
  const PadRef previewOut = PadRef::Adopt(gst_element_get_static_pad(preview_, "src"));
  const PadRef teeSink = PadRef::Adopt(gst_element_get_static_pad(tee_, "sink"));
  if (!captureSource_ || !previewSource_ || gst_pad_link(previewSource_.get(), previewSink.get()) != GST_PAD_LINK_OK)
    return false;
  AddPin(u"Input", PINDIR_INPUT, teeSink.get());
  AddPin(u"Capture", PINDIR_OUTPUT, captureSource_.get(), PIN_CATEGORY_CAPTURE);
  const GstPinPtr preview = AddPin(u"Preview", PINDIR_OUTPUT, previewOut.get(), PIN_CATEGORY_PREVIEW);
  gst_pad_add_probe(previewSink.get(),
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_DATA_DOWNSTREAM),
                    DropWhileUnconnected, preview->Pad(), nullptr);
  return true;
}

std::shared_ptr<GstSmartTee> GstSmartTee::Make() {
  auto tee = std::make_shared<GstSmartTee>();
  return tee->IsComplete() ? tee : nullptr;
}

GstPinPtr GstSmartTee::Capture() const { return PinOf(PINDIR_OUTPUT, PIN_CATEGORY_CAPTURE); }
GstPinPtr GstSmartTee::Preview() const { return PinOf(PINDIR_OUTPUT, PIN_CATEGORY_PREVIEW); }

}  // namespace media::gst
