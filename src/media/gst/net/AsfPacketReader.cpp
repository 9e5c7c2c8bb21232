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
  ParsingInfo p;
  bool startsKeyFrame = false;
  const bool whole = walk(packet, p, [&](const AsfPayloadInfo& payload) {
    if (payload.keyFrame && payload.startsObject() && entryStreams_.test(payload.stream)) startsKeyFrame = true;
  });
  if (!whole) return std::nullopt;
  return AsfPacketInfo{p.sendTimeOffset, static_cast<std::uint32_t>(p.sendTime), startsKeyFrame};
}

std::optional<std::vector<AsfPayloadInfo>> AsfPacketReader::payloads(std::span<const std::uint8_t> packet) {
  ParsingInfo p;
  std::vector<AsfPayloadInfo> all;
  if (!walk(packet, p, [&](const AsfPayloadInfo& payload) { all.push_back(payload); })) return std::nullopt;
  return all;
}

bool AsfPacketReader::walk(std::span<const std::uint8_t> packet, ParsingInfo& p, const PayloadVisit& visit) {
  Cursor c{packet, 0, packet.size()};
  if (!readParsingInfo(c, p)) return false;
  const auto flags = static_cast<std::uint8_t>(p.propertyFlags);
  const std::size_t payloadEnd = p.packetLength - p.padding;
  AsfPayloadInfo payload;
  if (!(p.lengthFlags & kMultiplePayloads)) {
    if (!readPayload(c, flags, -1, payloadEnd, payload)) return false;
    visit(payload);
    return true;
  }
  std::uint64_t payloadFlags = 0;
  if (!c.take(1, payloadFlags) || (payloadFlags & 0x3F) == 0) return false;
  for (unsigned n = payloadFlags & 0x3F; n > 0; --n) {
    if (!readPayload(c, flags, int(payloadFlags >> 6), payloadEnd, payload)) return false;
    visit(payload);
  }
  return true;
}

// One payload header and its data; payloadLengthType < 0 means the single
// payload that fills the packet up to its padding.
bool AsfPacketReader::readPayload(Cursor& c, std::uint8_t propertyFlags, int payloadLengthType, std::size_t end,
                                  AsfPayloadInfo& payload) {
  c.end = end;
  std::uint64_t stream = 0, object = 0, offset = 0, replicated = 0, length = 0;
  if (!c.take(1, stream) || !c.takeCoded(propertyFlags >> 4, object) ||
      !c.takeCoded(propertyFlags >> 2, offset) || !c.takeCoded(propertyFlags, replicated))
    return false;
  // Replicated data: the media object's size, then its presentation time.
  const std::size_t replicatedAt = c.pos;
  if (!c.skip(replicated)) return false;
  const std::uint64_t presentationTime = replicated >= 8 ? readLE(c.bytes.data() + replicatedAt + 4, 4) : 0;
  if (payloadLengthType >= 0) {
    if (!c.takeCoded(payloadLengthType, length)) return false;
  } else {
    length = c.end - c.pos;
  }
  if (!c.skip(length)) return false;
  payload.stream = unsigned(stream & 0x7F);
  payload.keyFrame = (stream & kKeyFrameBit) != 0;
  payload.objectNumber = static_cast<std::uint32_t>(object);
  payload.objectOffset = static_cast<std::uint32_t>(offset);
  payload.compressed = replicated == kCompressedPayload;
  payload.presentationTime = payload.compressed ? payload.objectOffset : static_cast<std::uint32_t>(presentationTime);
  return true;
}

void AsfPacketReader::setSendTime(std::span<std::uint8_t> packet, const AsfPacketInfo& info,
                                  std::uint32_t sendTime) {
  if (info.sendTimeOffset + 4 <= packet.size()) writeLE(packet.data() + info.sendTimeOffset, 4, sendTime);
}

}  // namespace media::net
