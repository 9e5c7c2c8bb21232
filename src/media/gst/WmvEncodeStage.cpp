#include "media/gst/WmvEncodeStage.h"

#include <algorithm>

namespace media::gst {
namespace {

// The encoder's quantizer in its lambda units.
constexpr int kLambdaPerQuantizer = 118;

CapsRef FormatCaps(const WMVideoSettings& v) {
  return CapsRef::Adopt(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width", G_TYPE_INT,
                                            v.width, "height", G_TYPE_INT, v.height, "framerate", GST_TYPE_FRACTION,
                                            v.fpsNumerator, v.fpsDenominator, "pixel-aspect-ratio",
                                            GST_TYPE_FRACTION, 1, 1, nullptr));
}

int FramesPerInterval(const WMVideoSettings& v) {
  const double fps = static_cast<double>(v.fpsNumerator) / v.fpsDenominator;
  return std::max(1, static_cast<int>(fps * v.keyFrameIntervalMs / 1000.0 + 0.5));
}

}  // namespace

// An encoder taken out of the stream, shut down on GStreamer's own thread
// pool: a streaming thread must not change an element's state itself.
struct WmvEncodeStage::Swap {
  ElementRef bin;

  static void ShutDown(GstElement* encoder, gpointer data) {
    auto* swap = static_cast<Swap*>(data);
    gst_element_set_state(encoder, GST_STATE_NULL);
    gst_bin_remove(GST_BIN(swap->bin.get()), encoder);
  }
  static void Free(gpointer data) { delete static_cast<Swap*>(data); }
};

WmvEncodeStage::WmvEncodeStage(GstBin* bin) : EncodeStage(bin) { complete_ = Build(); }

bool WmvEncodeStage::Build() {
  // Frames the profile's rate drops are dropped before any pixel work, and
  // the picture is made small before its colours are converted.
  const auto counter = [this](gsize bytes) {
    if (control_->Encoded(bytes)) intervalDone_ = true;
  };
  if (!BuildChain({"videorate", "videoscale", "videoconvert"}, counter)) return false;
  const WMProfileSettings& initial = WMProfileTable::At(WMProfileTable::kDefaultIndex);
  Configure(initial.video, initial.bufferWindowMs);
  return encoder_ != nullptr;
}

void WmvEncodeStage::Configure(const std::optional<WMVideoSettings>& settings, int windowMs) {
  if (!stream_) return;
  OpenGate("video/x-raw", settings.has_value());
  if (!settings) return;
  settings_ = *settings;
  SetFormat(FormatCaps(settings_));
  const double fps = static_cast<double>(settings_.fpsNumerator) / settings_.fpsDenominator;
  control_ = std::make_unique<WmvRateControl>(WmvRateControl::Settings{
      settings_.bitsPerSecond, settings_.quantizer, fps, FramesPerInterval(settings_), windowMs});
  GstElement* fresh = MakeEncoder(control_->Quantizer());
  if (!fresh) return;
  ReplaceEncoder(fresh);
  encoderQuantizer_ = control_->Quantizer();
}

GstElement* WmvEncodeStage::MakeEncoder(int quantizer) const {
  GstElement* encoder = gst_element_factory_make("avenc_wmv2", nullptr);
  if (!encoder) return nullptr;
  // The encoder's own rate control cannot hold a rate here (it takes its
  // frame budget from a nanosecond time base), so it is pinned to one
  // quantizer and the stage does the rate control.
  const int lambda = quantizer * kLambdaPerQuantizer;
  g_object_set(encoder, "qmin", quantizer, "qmax", quantizer, "lmin", lambda, "lmax", lambda, "mblmin", lambda,
               "mblmax", lambda, "gop-size", FramesPerInterval(settings_), "max-bframes", 0, "bitrate",
               std::max(settings_.bitsPerSecond, 1), nullptr);
  return encoder;
}

void WmvEncodeStage::PlaceEncoder(GstElement* encoder, int quantizer) {
  LinkEncoder(encoder);
  encoderQuantizer_ = quantizer;
}

void WmvEncodeStage::SwapEncoder(int quantizer) {
  GstElement* fresh = MakeEncoder(quantizer);
  if (!fresh) return;  // the old encoder goes on at its quantizer
  GstElement* old = encoder_;
  gst_element_set_locked_state(old, TRUE);
  gst_element_unlink_many(format_, old, out_, nullptr);
  PlaceEncoder(fresh, quantizer);
  gst_element_sync_state_with_parent(fresh);
  gst_element_call_async(old, &Swap::ShutDown, new Swap{ElementRef::AddRef(GST_ELEMENT(bin_))}, &Swap::Free);
}

void WmvEncodeStage::OnNewStream() {
  control_->Reset();
  intervalDone_ = true;
}

GstPadProbeReturn WmvEncodeStage::OnInputBuffer() {
  if (intervalDone_) {
    intervalDone_ = false;
    if (control_->Quantizer() != encoderQuantizer_) SwapEncoder(control_->Quantizer());
  }
  return control_->Admit() ? GST_PAD_PROBE_OK : GST_PAD_PROBE_DROP;
}

}  // namespace media::gst
