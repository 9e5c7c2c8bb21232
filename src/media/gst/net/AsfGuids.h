#pragma once
// The ASF object and stream-type identifiers the live sink looks at, in the
// byte order they have on the wire (first three fields little-endian).
#include <array>
#include <cstdint>
#include <span>

namespace media::net {

using AsfGuid = std::array<std::uint8_t, 16>;

constexpr AsfGuid makeAsfGuid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3,
                              std::array<std::uint8_t, 8> d4) {
  AsfGuid g{};
  for (int i = 0; i < 4; ++i) g[i] = static_cast<std::uint8_t>(d1 >> (8 * i));
  for (int i = 0; i < 2; ++i) g[4 + i] = static_cast<std::uint8_t>(d2 >> (8 * i));
  for (int i = 0; i < 2; ++i) g[6 + i] = static_cast<std::uint8_t>(d3 >> (8 * i));
  for (int i = 0; i < 8; ++i) g[8 + i] = d4[i];
  return g;
}

inline constexpr AsfGuid kAsfHeaderObject =
    makeAsfGuid(0x75B22630, 0x668E, 0x11CF, {0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C});
inline constexpr AsfGuid kAsfDataObject =
    makeAsfGuid(0x75B22636, 0x668E, 0x11CF, {0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C});
inline constexpr AsfGuid kAsfFilePropertiesObject =
    makeAsfGuid(0x8CABDCA1, 0xA947, 0x11CF, {0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65});
inline constexpr AsfGuid kAsfStreamPropertiesObject =
    makeAsfGuid(0xB7DC0791, 0xA9B7, 0x11CF, {0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65});
inline constexpr AsfGuid kAsfVideoMedia =
    makeAsfGuid(0xBC19EFC0, 0x5B4D, 0x11CF, {0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B});
inline constexpr AsfGuid kAsfAudioMedia =
    makeAsfGuid(0xF8699E40, 0x5B4D, 0x11CF, {0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B});

inline bool hasAsfGuid(std::span<const std::uint8_t> bytes, const AsfGuid& guid) {
  if (bytes.size() < guid.size()) return false;
  for (std::size_t i = 0; i < guid.size(); ++i)
    if (bytes[i] != guid[i]) return false;
  return true;
}

}  // namespace media::net
