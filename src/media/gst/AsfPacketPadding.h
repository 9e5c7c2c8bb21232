#pragma once
#include <cstdint>
#include <span>

namespace media::gst {

// The muxer closes a stream with a packet whose length field counts only
// the bytes used, while its padding length already fills the packet up: read
// as written, the padding runs past the packet and players drop it (with the
// last frames of a recording). A packet's length is its whole size, padding
// included; this puts that right in place.
class AsfPacketPadding {
 public:
  // Sets the length field of a data packet whose stated length and padding
  // add up to the packet's size to that size. false (the packet unchanged)
  // for a packet already right, one without a length field or one that is
  // not laid out that way.
  static bool IncludePadding(std::span<std::uint8_t> packet);
  // Whether IncludePadding would change the packet.
  static bool NeedsPadding(std::span<const std::uint8_t> packet);
};

}  // namespace media::gst
