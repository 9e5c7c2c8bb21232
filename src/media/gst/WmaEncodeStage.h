#pragma once
#include <optional>

#include "media/gst/EncodeStage.h"
#include "media/gst/WMProfileTable.h"

namespace media::gst {

// The ASF writer's audio stage:
//
//   gate -> audioconvert -> audioresample -> format -> encoder -> out
//
// The sound is converted to the profile's rate and channels and coded to
// Windows Media Audio 2 at the profile's rate, restamped from zero as the
// video is.
class WmaEncodeStage : public EncodeStage {
 public:
  explicit WmaEncodeStage(GstBin* bin);

  // The profile's audio, or none: the gate then takes nothing.
  void Configure(const std::optional<WMAudioSettings>& settings);

 private:
  bool Build();
};

}  // namespace media::gst
