#pragma once
// Hand-built ASF headers and data packets for the live sink's tests, with
// every field the sink reads or rewrites under the test's control.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace media::net::test {

using Bytes = std::vector<std::uint8_t>;

struct SampleStream {
  unsigned number = 1;
  bool video = true;
};

struct SampleHeader {
  std::uint32_t minPacketSize = 512;
  std::uint32_t maxPacketSize = 512;
  std::uint32_t flags = 0x2;  // seekable file, not broadcast
  std::uint64_t fileSize = 987654;
  std::uint64_t dataPackets = 77;
  std::uint64_t playDuration = 123456789;
  std::uint64_t sendDuration = 123000000;
  std::uint64_t preroll = 5000;
  std::vector<SampleStream> streams{{1, true}};
  std::uint64_t dataObjectSize = 50 + 77 * 512;
};

// Header Object (File Properties + one Stream Properties per stream) and the
// 50-byte Data Object start.
Bytes makeHeader(const SampleHeader& shape = {});

struct SamplePayload {
  unsigned stream = 1;
  bool key = false;
  std::uint32_t objectOffset = 0;
  bool compressed = false;
  std::size_t length = 100;
};

struct SamplePacket {
  std::uint32_t packetSize = 512;
  std::uint32_t sendTime = 0;
  bool errorCorrection = true;
  // One payload is written in the single-payload form, more as multiple.
  std::vector<SamplePayload> payloads{{}};
};

Bytes makePacket(const SamplePacket& shape = {});

// Field offsets inside the File Properties Object of makeHeader's output.
inline constexpr std::size_t kFilePropertiesAt = 30;
inline constexpr std::size_t kFpFileSize = kFilePropertiesAt + 40;
inline constexpr std::size_t kFpDataPackets = kFilePropertiesAt + 56;
inline constexpr std::size_t kFpPlayDuration = kFilePropertiesAt + 64;
inline constexpr std::size_t kFpSendDuration = kFilePropertiesAt + 72;
inline constexpr std::size_t kFpPreroll = kFilePropertiesAt + 80;
inline constexpr std::size_t kFpFlags = kFilePropertiesAt + 88;
inline constexpr std::size_t kFpMinPacket = kFilePropertiesAt + 92;

std::uint64_t readField(const Bytes& bytes, std::size_t at, std::size_t width);
// Send time of a packet made by makePacket (after the payload parsing info).
std::uint32_t sendTimeOf(const Bytes& packet);

}  // namespace media::net::test
