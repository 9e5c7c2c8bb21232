#pragma once
#include <memory>

#include "media/gst/GstFilter.h"

namespace media::gst {

// Splits one stream into a capture output and a preview output. The capture
// output gets every frame, on the upstream thread; the preview output runs
// behind a leaky one-frame queue on its own thread, so a slow preview drops
// frames instead of holding back the capture. Either output may stay
// unconnected. Pins "Input", "Capture" (capture category), "Preview"
// (preview category).
class GstSmartTee : public GstFilter {
 public:
  GstSmartTee();
  ~GstSmartTee() override;

  // Nil when the tee or queue element is not installed.
  static std::shared_ptr<GstSmartTee> Make();

  GstPinPtr Input() const { return PinOf(PINDIR_INPUT); }
  GstPinPtr Capture() const;
  GstPinPtr Preview() const;
  bool IsComplete() const { return complete_; }

 private:
  bool Build();

  GstElement* tee_ = nullptr;      // owned by the bin
  GstElement* preview_ = nullptr;  // the preview queue, owned by the bin
  PadRef captureSource_;           // the tee's request pads, released with the filter
  PadRef previewSource_;
  bool complete_ = false;
};

}  // namespace media::gst
