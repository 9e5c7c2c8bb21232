#include "media/gst/AsfPacketPadding.h"

#include <cstddef>
#include <optional>

#include "media/gst/net/LittleEndian.h"

namespace media::gst {
namespace {

// Byte count of a field of the 2-bit length type `type`: absent, byte, word,
// double word.
std::size_t FieldSize(unsigned type) { return type == 3 ? 4 : type; }

// Where the length type flags are: after the error correction data when the
// packet starts with it.
std::optional<std::size_t> ParsingInfoAt(std::span<const std::uint8_t> packet) {
  if (packet.empty()) return std::nullopt;
  if ((packet[0] & 0x80) == 0) return 0;
  // Error correction flags: the data length in the low nibble, and no other
  // length type than that one.
  if ((packet[0] & 0x60) != 0) return std::nullopt;
  return 1 + static_cast<std::size_t>(packet[0] & 0x0F);
}

struct LengthField {
  std::size_t at, size;
};

// The length field of a packet laid out as the muxer closes a stream, none
// for any other packet.
std::optional<LengthField> WrongLength(std::span<const std::uint8_t> packet) {
  const auto info = ParsingInfoAt(packet);
  if (!info || *info + 2 > packet.size()) return std::nullopt;
  const unsigned flags = packet[*info];
  const LengthField length{*info + 2, FieldSize((flags >> 5) & 3)};
  const std::size_t paddingAt = length.at + length.size + FieldSize((flags >> 1) & 3);
  const std::size_t paddingSize = FieldSize((flags >> 3) & 3);
  const std::size_t size = packet.size();
  if (length.size == 0 || paddingAt + paddingSize > size) return std::nullopt;
  const std::uint64_t stated = net::readLE(packet.data() + length.at, length.size);
  const std::uint64_t padding = net::readLE(packet.data() + paddingAt, paddingSize);
  if (stated >= size || stated + padding != size) return std::nullopt;
  if (length.size < 4 && size >= (std::size_t{1} << (8 * length.size))) return std::nullopt;
  return length;
}

}  // namespace

bool AsfPacketPadding::NeedsPadding(std::span<const std::uint8_t> packet) { return WrongLength(packet).has_value(); }

bool AsfPacketPadding::IncludePadding(std::span<std::uint8_t> packet) {
  const auto length = WrongLength(packet);
  if (!length) return false;
  net::writeLE(packet.data() + length->at, length->size, packet.size());
  return true;
}

}  // namespace media::gst
