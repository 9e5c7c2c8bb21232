#include "media/gst/WmaEncodeStage.h"

namespace media::gst {

WmaEncodeStage::WmaEncodeStage(GstBin* bin) : EncodeStage(bin) { complete_ = Build(); }

bool WmaEncodeStage::Build() {
  if (!BuildChain({"audioconvert", "audioresample"})) return false;
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
