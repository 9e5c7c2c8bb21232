#pragma once
// The ASF header of a live stream as it is handed to network clients.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace media::net {

class AsfHeader {
 public:
  // The fixed start of the Data Object that closes every streamed header.
  static constexpr std::size_t kDataObjectStart = 50;
  // Largest packet a framed ($D) chunk can carry: 16-bit length minus the
  // 8-byte data packet header.
  static constexpr std::uint32_t kMaxPacketSize = 0xFFFF - 8;

  // Reads the Header Object and the Data Object start that follows it; bytes
  // after those are ignored. nullopt when an object is malformed or out of
  // bounds, when the File Properties Object is missing, or when packets are
  // not of one fixed size within 1..kMaxPacketSize (the packet boundaries of
  // the stream could not be found).
  static std::optional<AsfHeader> parse(std::span<const std::uint8_t> bytes);

  // The header for broadcast: File Properties flags say broadcast and not
  // seekable; file size, data packet count, play and send durations are 0;
  // the Data Object's size and packet count are 0 too (size unknown), since
  // some players otherwise stop after the size the Data Object states.
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }
  std::uint32_t packetSize() const { return packetSize_; }
  // Streams whose key frames are entry points for a client that joins: the
  // video streams, or every stream when the header declares no video.
  const std::bitset<128>& entryStreams() const { return entryStreams_; }

 private:
  AsfHeader() = default;
  bool readObjects(std::size_t headerSize);
  void patchFileProperties(std::size_t at);
  void noteStream(std::size_t at);

  std::vector<std::uint8_t> bytes_;
  std::uint32_t packetSize_ = 0;
  std::bitset<128> entryStreams_;
  std::bitset<128> allStreams_;
  bool sawFileProperties_ = false;
};

}  // namespace media::net
