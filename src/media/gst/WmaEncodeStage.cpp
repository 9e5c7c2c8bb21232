#include "media/gst/WmaEncodeStage.h"

namespace media::gst {

WmaEncodeStage::WmaEncodeStage(GstBin* bin) : EncodeStage(bin) { complete_ = Build(); }

bool WmaEncodeStage::Build() {
  if (!BuildChain({"audioconvert", "audioresample"})) return false;
  const PadRef output = PadRef::Adopt(gst_element_get_static_pad(out_, "sink"));
  stream_ = std::make_unique<GstEncodedStream>(output.get());
  // A new stream entering the stage restarts the restamping.
  ProbeInput(
      GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM,
      [](GstPad*, GstPadProbeInfo* info, gpointer self) {
        if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_STREAM_START)
          static_cast<WmaEncodeStage*>(self)->stream_->Restart();
        return GST_PAD_PROBE_OK;
      },
      this);
  // An encoder from the start; the gate stays shut until a profile has audio.
  Configure(WMAudioSettings{22050, 2, 32'000});
  Configure(std::nullopt);
  return encoder_ != nullptr;
}

void WmaEncodeStage::Configure(const std::optional<WMAudioSettings>& settings) {
  if (!stream_) return;
  OpenGate("audio/x-raw", settings.has_value());
  if (!settings) return;
  SetFormat(CapsRef::Adopt(gst_caps_new_simple("audio/x-raw", "rate", G_TYPE_INT, settings->sampleRate, "channels",
                                               G_TYPE_INT, settings->channels, nullptr)));
  GstElement* fresh = gst_element_factory_make("avenc_wmav2", nullptr);
  if (!fresh) return;
  g_object_set(fresh, "bitrate", settings->bitsPerSecond, nullptr);
  ReplaceEncoder(fresh);
}

}  // namespace media::gst
