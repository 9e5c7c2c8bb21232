#pragma once
#include <gst/gst.h>

#include <cstdint>

namespace media::gst {

struct WMProfileSettings;

// Puts the profile's header objects (AsfHeaderRewrite) into everything
// asfmux sends as header on its source pad: the header buffer it writes
// first, the copy of it in its caps' streamheader (for the live stream),
// and the part of the File Properties it writes again at the stop. So the
// header written at the start already holds them, and a file cut off by a
// crash has them too.
//
// Runs on the muxer's streaming thread; its state lives as long as the
// probe.
class AsfHeaderProbe {
 public:
  // Watches `muxSrc`, the source pad of a muxer not yet started, and
  // returns the bytes the muxer must reserve in its header (its "padding"
  // property) for the objects.
  static std::uint32_t Attach(GstPad* muxSrc, const WMProfileSettings& profile);
};

}  // namespace media::gst
