#include "media/gst/net/AsfPacketReader.h"

#include "media/gst/net/LittleEndian.h"

namespace media::net {

// Bounds-checked reader over one packet. Field widths come in the packet's
// two-bit "length type" codes: 0, 1, 2 or 4 bytes.
struct AsfPacketReader::Cursor {
  std::span<const std::uint8_t> bytes;
  std::size_t pos = 0;
  std::size_t end = 0;

  bool take(std::size_t width, std::uint64_t& value) {
    if (end - pos < width) return false;
    value = readLE(bytes.data() + pos, width);
    pos += width;
    return true;
  }
  bool takeCoded(int lengthType, std::uint64_t& value) {
    static constexpr std::size_t kWidth[] = {0, 1, 2, 4};
    return take(kWidth[lengthType & 3], value);
  }
  bool skip(std::uint64_t n) {
    if (end - pos < n) return false;
    pos += n;
    return true;
  }
};

namespace {
constexpr std::uint8_t kErrorCorrectionPresent = 0x80;
constexpr std::uint8_t kMultiplePayloads = 0x01;
constexpr std::uint8_t kKeyFrameBit = 0x80;
constexpr std::uint64_t kCompressedPayload = 1;  // replicated data length 1
}  // namespace

std::optional<AsfPacketInfo> AsfPacketReader::read(std::span<const std::uint8_t> packet) const {
  Cursor c{packet, 0, packet.size()};
  std::uint64_t lengthFlags = 0, propertyFlags = 0, packetLength = 0, sequence = 0, padding = 0;
  if (!c.take(1, lengthFlags)) return std::nullopt;
  if (lengthFlags & kErrorCorrectionPresent) {
    if ((lengthFlags & 0x60) != 0 || !c.skip(lengthFlags & 0x0F) || !c.take(1, lengthFlags))
      return std::nullopt;
  }
  if (!c.take(1, propertyFlags) || !c.takeCoded(lengthFlags >> 5, packetLength) ||
      !c.takeCoded(lengthFlags >> 1, sequence) || !c.takeCoded(lengthFlags >> 3, padding))
    return std::nullopt;
  if (packetLength == 0) packetLength = packet.size();
  if (packetLength > packet.size() || padding > packetLength) return std::nullopt;
  AsfPacketInfo info;
  info.sendTimeOffset = c.pos;
  std::uint64_t sendTime = 0, duration = 0;
  if (!c.take(4, sendTime) || !c.take(2, duration)) return std::nullopt;
  info.sendTime = static_cast<std::uint32_t>(sendTime);
  if (c.pos > packetLength - padding) return std::nullopt;
  const std::size_t payloadEnd = packetLength - padding;
  std::uint64_t payloadFlags = 0;
  if (lengthFlags & kMultiplePayloads) {
    if (!c.take(1, payloadFlags) || (payloadFlags & 0x3F) == 0) return std::nullopt;
    for (unsigned n = payloadFlags & 0x3F; n > 0; --n)
      if (!readPayload(c, propertyFlags, int(payloadFlags >> 6), payloadEnd, info.startsKeyFrame))
        return std::nullopt;
    return info;
  }
  if (!readPayload(c, propertyFlags, -1, payloadEnd, info.startsKeyFrame)) return std::nullopt;
  return info;
}

// One payload header and its data; payloadLengthType < 0 means the single
// payload that fills the packet up to its padding.
bool AsfPacketReader::readPayload(Cursor& c, std::uint8_t propertyFlags, int payloadLengthType,
                                  std::size_t end, bool& startsKeyFrame) const {
  c.end = end;
  std::uint64_t stream = 0, object = 0, offset = 0, replicated = 0, length = 0;
  if (!c.take(1, stream) || !c.takeCoded(propertyFlags >> 4, object) ||
      !c.takeCoded(propertyFlags >> 2, offset) || !c.takeCoded(propertyFlags, replicated))
    return false;
  const bool compressed = replicated == kCompressedPayload;
  if (!c.skip(replicated)) return false;
  if (payloadLengthType >= 0) {
    if (!c.takeCoded(payloadLengthType, length)) return false;
  } else {
    length = c.end - c.pos;
  }
  if (!c.skip(length)) return false;
  const bool firstFragment = compressed || offset == 0;
  if ((stream & kKeyFrameBit) && firstFragment && entryStreams_.test(stream & 0x7F))
    startsKeyFrame = true;
  return true;
}

void AsfPacketReader::setSendTime(std::span<std::uint8_t> packet, const AsfPacketInfo& info,
                                  std::uint32_t sendTime) {
  if (info.sendTimeOffset + 4 <= packet.size()) writeLE(packet.data() + info.sendTimeOffset, 4, sendTime);
}

}  // namespace media::net
