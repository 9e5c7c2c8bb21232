#pragma once
// Reads what the live sink needs of one ASF data packet: where its send time
// is, and whether it can start a client's stream.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace media::net {

struct AsfPacketInfo {
  std::size_t sendTimeOffset = 0;  // byte offset of the 32-bit send time
  std::uint32_t sendTime = 0;      // milliseconds, as the muxer wrote it
  // The packet holds the first fragment (offset 0, or a compressed payload)
  // of a key frame of one of the entry streams.
  bool startsKeyFrame = false;
};

class AsfPacketReader {
 public:
  explicit AsfPacketReader(std::bitset<128> entryStreams) : entryStreams_(entryStreams) {}

  // nullopt when the payload parsing information or a payload header runs
  // past the packet, or when stated lengths contradict each other.
  std::optional<AsfPacketInfo> read(std::span<const std::uint8_t> packet) const;

  static void setSendTime(std::span<std::uint8_t> packet, const AsfPacketInfo& info,
                          std::uint32_t sendTime);

 private:
  struct Cursor;
  struct ParsingInfo;
  static bool readParsingInfo(Cursor& c, ParsingInfo& info);
  bool readPayload(Cursor& c, std::uint8_t propertyFlags, int payloadLengthType,
                   std::size_t end, bool& startsKeyFrame) const;

  std::bitset<128> entryStreams_;
};

}  // namespace media::net
