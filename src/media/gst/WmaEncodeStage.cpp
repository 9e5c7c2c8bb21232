#include "media/gst/WmaEncodeStage.h"

namespace media::gst {
namespace {

GstElement* AddTo(GstBin* bin, const char* factory) {
  GstElement* element = gst_element_factory_make(factory, nullptr);
  if (element) gst_bin_add(bin, element);
  return element;
}

}  // namespace

WmaEncodeStage::WmaEncodeStage(GstBin* bin) : bin_(bin) { complete_ = Build(); }

bool WmaEncodeStage::Build() {
  gate_ = AddTo(bin_, "capsfilter");
  GstElement* convert = AddTo(bin_, "audioconvert");
  GstElement* resample = AddTo(bin_, "audioresample");
  format_ = AddTo(bin_, "capsfilter");
  out_ = AddTo(bin_, "identity");
  if (!gate_ || !convert || !resample || !format_ || !out_) return false;
  if (!gst_element_link_many(gate_, convert, resample, format_, nullptr)) return false;
  sinkPad_ = PadRef::Adopt(gst_element_get_static_pad(gate_, "sink"));
  srcPad_ = PadRef::Adopt(gst_element_get_static_pad(out_, "src"));
  const PadRef output = PadRef::Adopt(gst_element_get_static_pad(out_, "sink"));
  stream_ = std::make_unique<GstEncodedStream>(output.get());
  // A new stream entering the stage restarts the restamping.
  const PadRef input = PadRef::Adopt(gst_element_get_static_pad(format_, "src"));
  inputProbe_ = gst_pad_add_probe(
      input.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM,
      [](GstPad*, GstPadProbeInfo* info, gpointer self) {
        if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_STREAM_START)
          static_cast<WmaEncodeStage*>(self)->stream_->Restart();
        return GST_PAD_PROBE_OK;
      },
      this, nullptr);
  // An encoder from the start; the gate stays shut until a profile has audio.
  Configure(WMAudioSettings{22050, 2, 32'000});
  Configure(std::nullopt);
  return encoder_ != nullptr;
}

WmaEncodeStage::~WmaEncodeStage() {
  if (!inputProbe_) return;
  const PadRef input = PadRef::Adopt(gst_element_get_static_pad(format_, "src"));
  gst_pad_remove_probe(input.get(), inputProbe_);
}

void WmaEncodeStage::Configure(const std::optional<WMAudioSettings>& settings) {
  if (!stream_) return;
  const CapsRef gate = CapsRef::Adopt(settings ? gst_caps_new_empty_simple("audio/x-raw") : gst_caps_new_empty());
  g_object_set(gate_, "caps", gate.get(), nullptr);
  if (!settings) return;
  const CapsRef format = CapsRef::Adopt(gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, settings->sampleRate,
                                                            "channels", G_TYPE_INT, settings->channels, nullptr));
  g_object_set(format_, "caps", format.get(), nullptr);
  GstElement* fresh = gst_element_factory_make("avenc_wmav2", nullptr);
  if (!fresh) return;
  g_object_set(fresh, "bitrate", settings->bitsPerSecond, nullptr);
  if (encoder_) {
    gst_element_set_state(encoder_, GST_STATE_NULL);
    gst_bin_remove(bin_, encoder_);
  }
  gst_bin_add(bin_, fresh);
  gst_element_link_many(format_, fresh, out_, nullptr);
  encoder_ = fresh;
}

}  // namespace media::gst
