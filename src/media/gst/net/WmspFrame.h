#pragma once
// Chunks of the framed streaming protocol that players announcing it expect:
// 0x24, a letter, a 16-bit little-endian length of what follows. Only $H
// (header), $D (data) and $E (end) are ever sent; the burst bit stays clear,
// since common players abort on anything else.
#include <cstdint>
#include <span>
#include <vector>

namespace media::net {

class WmspFrame {
 public:
  // Bytes added in front of a payload by a $H or $D chunk.
  static constexpr std::size_t kDataChunkHead = 12;
  // Largest payload of one chunk.
  static constexpr std::size_t kMaxPayload = 0xFFFF - 8;

  // One $H with the whole header (location id 0, flags "complete header").
  // The caller keeps header within kMaxPayload.
  static std::vector<std::uint8_t> header(std::span<const std::uint8_t> header);
  // Appends one $D: location id = the packet's number in the broadcast.
  static void appendData(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> packet,
                         std::uint32_t locationId);
  // $E with reason 0: the broadcast has ended.
  static void appendEnd(std::vector<std::uint8_t>& out);
};

}  // namespace media::net
