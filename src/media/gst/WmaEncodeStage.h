#pragma once
#include <gst/gst.h>

#include <memory>
#include <optional>

#include "media/gst/GstEncodedStream.h"
#include "media/gst/WMProfileTable.h"

namespace media::gst {

// The ASF writer's audio stage, elements inside the writer's bin:
//
//   gate -> audioconvert -> audioresample -> format -> encoder -> out
//
// The gate takes raw audio while the profile has audio and nothing
// otherwise. The sound is converted to the profile's rate and channels and
// coded to Windows Media Audio 2 at the profile's rate; GstEncodedStream at
// `out` restamps it from zero, as the video is.
//
// User-interface thread while the bin is stopped, apart from the probe.
class WmaEncodeStage {
 public:
  explicit WmaEncodeStage(GstBin* bin);
  ~WmaEncodeStage();
  WmaEncodeStage(const WmaEncodeStage&) = delete;
  WmaEncodeStage& operator=(const WmaEncodeStage&) = delete;

  bool IsComplete() const { return complete_; }
  void Configure(const std::optional<WMAudioSettings>& settings);

  GstPad* SinkPad() const { return sinkPad_.get(); }
  GstPad* SrcPad() const { return srcPad_.get(); }

 private:
  bool Build();

  GstBin* bin_;                 // not owned: the stage lives inside it
  GstElement* gate_ = nullptr;  // owned by the bin
  GstElement* format_ = nullptr;
  GstElement* encoder_ = nullptr;
  GstElement* out_ = nullptr;
  PadRef sinkPad_, srcPad_;
  gulong inputProbe_ = 0;
  std::unique_ptr<GstEncodedStream> stream_;
  bool complete_ = false;
};

}  // namespace media::gst
