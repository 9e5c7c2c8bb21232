#include "media/gst/net/AsfHeader.h"

#include "media/gst/net/AsfGuids.h"
#include "media/gst/net/LittleEndian.h"

namespace media::net {
namespace {

constexpr std::size_t kObjectHead = 24;        // GUID + 64-bit size
constexpr std::size_t kHeaderObjectHead = 30;  // + object count + 2 reserved
constexpr std::size_t kFilePropertiesSize = 104;
constexpr std::size_t kStreamPropertiesMin = 78;

// File Properties Object field offsets.
constexpr std::size_t kFpFileSize = 40, kFpPacketCount = 56, kFpPlayDuration = 64,
                      kFpSendDuration = 72, kFpFlags = 88, kFpMinPacket = 92, kFpMaxPacket = 96;
constexpr std::uint32_t kBroadcastFlag = 0x1, kSeekableFlag = 0x2;
// Stream Properties Object field offsets.
constexpr std::size_t kSpStreamType = 24, kSpFlags = 72;
// Data Object field offsets.
constexpr std::size_t kDataSize = 16, kDataPacketCount = 40;

}  // namespace

std::optional<AsfHeader> AsfHeader::parse(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kHeaderObjectHead || !hasAsfGuid(bytes, kAsfHeaderObject)) return std::nullopt;
  const std::uint64_t headerSize = readLE(bytes.data() + 16, 8);
  if (headerSize < kHeaderObjectHead || headerSize > bytes.size() - kDataObjectStart) return std::nullopt;
  if (!hasAsfGuid(bytes.subspan(headerSize), kAsfDataObject)) return std::nullopt;
  AsfHeader header;
  header.bytes_.assign(bytes.begin(), bytes.begin() + headerSize + kDataObjectStart);
  if (!header.readObjects(headerSize) || !header.sawFileProperties_) return std::nullopt;
  if (header.packetSize_ == 0 || header.packetSize_ > kMaxPacketSize) return std::nullopt;
  if (header.entryStreams_.none()) header.entryStreams_ = header.allStreams_;
  if (header.entryStreams_.none()) header.entryStreams_.set();
  std::uint8_t* data = header.bytes_.data() + headerSize;
  writeLE(data + kDataSize, 8, 0);
  writeLE(data + kDataPacketCount, 8, 0);
  return header;
}

bool AsfHeader::readObjects(std::size_t headerSize) {
  std::size_t at = kHeaderObjectHead;
  while (at < headerSize) {
    if (headerSize - at < kObjectHead) return false;
    const std::uint64_t size = readLE(bytes_.data() + at + 16, 8);
    if (size < kObjectHead || size > headerSize - at) return false;
    std::span<const std::uint8_t> object(bytes_.data() + at, size);
    if (hasAsfGuid(object, kAsfFilePropertiesObject)) {
      if (size < kFilePropertiesSize || sawFileProperties_) return false;
      patchFileProperties(at);
    } else if (hasAsfGuid(object, kAsfStreamPropertiesObject)) {
      if (size < kStreamPropertiesMin) return false;
      noteStream(at);
    }
    at += size;
  }
  return true;
}

void AsfHeader::patchFileProperties(std::size_t at) {
  std::uint8_t* fp = bytes_.data() + at;
  sawFileProperties_ = true;
  const auto minPacket = static_cast<std::uint32_t>(readLE(fp + kFpMinPacket, 4));
  const auto maxPacket = static_cast<std::uint32_t>(readLE(fp + kFpMaxPacket, 4));
  packetSize_ = minPacket == maxPacket ? minPacket : 0;
  for (std::size_t field : {kFpFileSize, kFpPacketCount, kFpPlayDuration, kFpSendDuration})
    writeLE(fp + field, 8, 0);
  const auto flags = static_cast<std::uint32_t>(readLE(fp + kFpFlags, 4));
  writeLE(fp + kFpFlags, 4, (flags | kBroadcastFlag) & ~kSeekableFlag);
}

void AsfHeader::noteStream(std::size_t at) {
  const std::uint8_t* sp = bytes_.data() + at;
  const unsigned number = readLE(sp + kSpFlags, 2) & 0x7F;
  allStreams_.set(number);
  if (hasAsfGuid(std::span(sp + kSpStreamType, 16), kAsfVideoMedia)) entryStreams_.set(number);
}

}  // namespace media::net
