#pragma once
#include <memory>
#include <optional>

#include "media/gst/EncodeStage.h"
#include "media/gst/WMProfileTable.h"
#include "media/gst/WmvRateControl.h"

namespace media::gst {

// The ASF writer's video stage:
//
//   gate -> videorate -> videoscale -> videoconvert -> format -> encoder -> out
//
// The frame rate is converted to the profile's, the picture scaled
// (with borders, keeping its aspect) and converted to I420, then coded to
// Windows Media Video 8. WmvRateControl picks the quantizer of each key-frame
// interval; a change swaps in a new encoder at the interval's end (the
// encoder takes its settings only when it opens), and the old one is shut
// down off the streaming thread. GstEncodedStream at `out` restamps the
// result from zero and hides the swaps.
//
// Configure and the constructor run on the user-interface thread while the
// bin is stopped; the probes run on the streaming thread. No data flows
// while Configure runs, so the two never meet.
class WmvEncodeStage : public EncodeStage {
 public:
  explicit WmvEncodeStage(GstBin* bin);

  // The profile's video, or none: the gate then takes nothing.
  void Configure(const std::optional<WMVideoSettings>& settings, int windowMs);

 private:
  struct Swap;

  bool Build();
  GstElement* MakeEncoder(int quantizer) const;
  void PlaceEncoder(GstElement* encoder, int quantizer);
  void SwapEncoder(int quantizer);
  void OnNewStream() override;
  GstPadProbeReturn OnInputBuffer() override;

  WMVideoSettings settings_;
  std::unique_ptr<WmvRateControl> control_;
  int encoderQuantizer_ = 0;
  bool intervalDone_ = false;
};

}  // namespace media::gst
