#include "media/gst/net/WmspFrame.h"

#include "media/gst/net/LittleEndian.h"

namespace media::net {
namespace {

constexpr std::uint8_t kFrame = 0x24;
constexpr std::uint8_t kCompleteHeader = 0x0C;
constexpr std::uint8_t kDataFlags = 0x00;

// Framing head, then the data packet head whose size field repeats the chunk
// length (payload + 8).
void appendChunk(std::vector<std::uint8_t>& out, char letter, std::uint32_t locationId,
                 std::uint8_t flags, std::span<const std::uint8_t> payload) {
  const auto length = static_cast<std::uint16_t>(payload.size() + 8);
  out.push_back(kFrame);
  out.push_back(static_cast<std::uint8_t>(letter));
  appendLE(out, 2, length);
  appendLE(out, 4, locationId);
  out.push_back(0);  // incarnation
  out.push_back(flags);
  appendLE(out, 2, length);
  out.insert(out.end(), payload.begin(), payload.end());
}

}  // namespace

std::vector<std::uint8_t> WmspFrame::header(std::span<const std::uint8_t> header) {
  std::vector<std::uint8_t> out;
  out.reserve(header.size() + kDataChunkHead);
  appendChunk(out, 'H', 0, kCompleteHeader, header);
  return out;
}

void WmspFrame::appendData(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> packet,
                           std::uint32_t locationId) {
  appendChunk(out, 'D', locationId, kDataFlags, packet);
}

void WmspFrame::appendEnd(std::vector<std::uint8_t>& out) {
  out.push_back(kFrame);
  out.push_back('E');
  appendLE(out, 2, 4);
  appendLE(out, 4, 0);
}

}  // namespace media::net
