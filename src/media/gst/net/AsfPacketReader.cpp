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

// The payload parsing information at the start of every packet.
struct AsfPacketReader::ParsingInfo {
  std::uint64_t lengthFlags = 0, propertyFlags = 0, packetLength = 0, sequence = 0, padding = 0;
  std::size_t sendTimeOffset = 0;
  std::uint64_t sendTime = 0, duration = 0;
};

bool AsfPacketReader::readParsingInfo(Cursor& c, ParsingInfo& p) {
  if (!c.take(1, p.lengthFlags)) return false;
  if (p.lengthFlags & kErrorCorrectionPresent) {
    if ((p.lengthFlags & 0x60) != 0 || !c.skip(p.lengthFlags & 0x0F) || !c.take(1, p.lengthFlags))
      return false;
  }
  if (!c.take(1, p.propertyFlags) || !c.takeCoded(int(p.lengthFlags >> 5), p.packetLength) ||
      !c.takeCoded(int(p.lengthFlags >> 1), p.sequence) || !c.takeCoded(int(p.lengthFlags >> 3), p.padding))
    return false;
  if (p.packetLength == 0) p.packetLength = c.bytes.size();
  if (p.packetLength > c.bytes.size() || p.padding > p.packetLength) return false;
  p.sendTimeOffset = c.pos;
  return c.take(4, p.sendTime) && c.take(2, p.duration) && c.pos <= p.packetLength - p.padding;
}

std::optional<AsfPacketInfo> AsfPacketReader::read(std::span<const std::uint8_t> packet) const {
  Cursor c{packet, 0, packet.size()};
  ParsingInfo p;
  if (!readParsingInfo(c, p)) return std::nullopt;
  AsfPacketInfo info{p.sendTimeOffset, static_cast<std::uint32_t>(p.sendTime), false};
  const auto flags = static_cast<std::uint8_t>(p.propertyFlags);
  const std::size_t payloadEnd = p.packetLength - p.padding;
  if (!(p.lengthFlags & kMultiplePayloads)) {
    if (!readPayload(c, flags, -1, payloadEnd, info.startsKeyFrame)) return std::nullopt;
    return info;
  }
  std::uint64_t payloadFlags = 0;
  if (!c.take(1, payloadFlags) || (payloadFlags & 0x3F) == 0) return std::nullopt;
  for (unsigned n = payloadFlags & 0x3F; n > 0; --n)
    if (!readPayload(c, flags, int(payloadFlags >> 6), payloadEnd, info.startsKeyFrame)) return std::nullopt;
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
