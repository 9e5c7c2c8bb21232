#include "media/gst/AsfPacketPadding.h"

#include <cstddef>
#include <optional>

namespace media::gst {
namespace {

// Byte count of a field of the 2-bit length type `type`: absent, byte, word,
// double word.
std::size_t FieldSize(unsigned type) { return type == 3 ? 4 : type; }

std::optional<std::uint32_t> ReadField(std::span<const std::uint8_t> bytes, std::size_t at, std::size_t size) {
  if (at + size > bytes.size()) return std::nullopt;
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
  return value;
}

void WriteField(std::span<std::uint8_t> bytes, std::size_t at, std::size_t size, std::uint32_t value) {
  for (std::size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

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

}  // namespace

bool AsfPacketPadding::IncludePadding(std::span<std::uint8_t> packet) {
  const auto info = ParsingInfoAt(packet);
  if (!info || *info + 2 > packet.size()) return false;
  const unsigned flags = packet[*info];
  const std::size_t lengthSize = FieldSize((flags >> 5) & 3);
  const std::size_t sequenceSize = FieldSize((flags >> 1) & 3);
  const std::size_t paddingSize = FieldSize((flags >> 3) & 3);
  const std::size_t lengthAt = *info + 2;
  const auto length = ReadField(packet, lengthAt, lengthSize);
  const auto padding = ReadField(packet, lengthAt + lengthSize + sequenceSize, paddingSize);
  if (lengthSize == 0 || !length || !padding) return false;
  const std::size_t size = packet.size();
  if (*length >= size || *length + *padding != size) return false;
  if (lengthSize < 4 && size >= (std::size_t{1} << (8 * lengthSize))) return false;
  WriteField(packet, lengthAt, lengthSize, static_cast<std::uint32_t>(size));
  return true;
}

}  // namespace media::gst
