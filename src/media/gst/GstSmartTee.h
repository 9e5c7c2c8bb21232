#pragma once
#include <memory>

#include "media/gst/GstFilter.h"

namespace media::gst {

// Splits one stream into a capture output and a preview output, each on a
// streaming thread of its own (a sink straight on the upstream thread would
// hold it while it waits for its first frame, and so starve the other
// branch). The capture output gets every frame through an ordinary queue;
// the preview output sits behind a leaky one-frame queue, so a slow preview
// drops frames instead of holding back the capture. Either output may stay
// unconnected. A run without a capture peer has no branch to starve: its
// preview is fed straight from the tee on the upstream thread, which saves a
// hand-over per frame (settled before each run from stopped). Pins "Input",
// "Capture" (capture category), "Preview" (preview category).
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
  void PrepareRun() override;
  // Whether the preview output is fed without its queue (for tests).
  bool PreviewIsDirect() const { return previewDirect_; }

 private:
  bool Build();
  // A queue fed from a new request pad of the tee, with `pin` on its output.
  GstPinPtr AddBranch(const std::u16string& pin, const GUID& category, bool leaky, PadRef& teePad);

  GstElement* tee_ = nullptr;  // owned by the bin
  PadRef captureSource_;       // the tee's request pads, released with the filter
  PadRef previewSource_;
  PadRef previewQueueIn_, previewQueueOut_;
  bool previewDirect_ = false;
  bool complete_ = false;
};

}  // namespace media::gst
