#pragma once
// Reads what the live sink needs of one ASF data packet: where its send time
// is, and whether it can start a client's stream.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <functional>
#include <span>
#include <vector>

namespace media::net {

struct AsfPacketInfo {
  std::size_t sendTimeOffset = 0;  // byte offset of the 32-bit send time
  std::uint32_t sendTime = 0;      // milliseconds, as the muxer wrote it
  // The packet holds the first fragment (offset 0, or a compressed payload)
  // of a key frame of one of the entry streams.
  bool startsKeyFrame = false;
};

// One payload of a data packet, as its payload header states it.
struct AsfPayloadInfo {
  unsigned stream = 0;  // stream number, 0..127
  bool keyFrame = false;
  std::uint32_t objectNumber = 0;
  // The offset into its media object; for a compressed payload (whole
  // objects) the presentation time instead.
  std::uint32_t objectOffset = 0;
  bool compressed = false;
  // Milliseconds, the preroll included; 0 when the replicated data is too
  // short to state it.
  std::uint32_t presentationTime = 0;
  // The payload holds the start of a media object.
  bool startsObject() const { return compressed || objectOffset == 0; }
};

class AsfPacketReader {
 public:
  explicit AsfPacketReader(std::bitset<128> entryStreams) : entryStreams_(entryStreams) {}

  // nullopt when the payload parsing information or a payload header runs
  // past the packet, or when stated lengths contradict each other.
  std::optional<AsfPacketInfo> read(std::span<const std::uint8_t> packet) const;
  // Every payload of the packet, in order; nullopt as for read.
  static std::optional<std::vector<AsfPayloadInfo>> payloads(std::span<const std::uint8_t> packet);

  static void setSendTime(std::span<std::uint8_t> packet, const AsfPacketInfo& info,
                          std::uint32_t sendTime);

 private:
  struct Cursor;
  struct ParsingInfo;
  using PayloadVisit = std::function<void(const AsfPayloadInfo&)>;
  static bool readParsingInfo(Cursor& c, ParsingInfo& info);
  static bool walk(std::span<const std::uint8_t> packet, ParsingInfo& info, const PayloadVisit& visit);
  static bool readPayload(Cursor& c, std::uint8_t propertyFlags, int payloadLengthType, std::size_t end,
                          AsfPayloadInfo& payload);

  std::bitset<128> entryStreams_;
};

}  // namespace media::net
