#pragma once
// Little-endian field access for the ASF and MS-WMSP wire formats. Callers
// check bounds; these helpers only assemble and split the bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace media::net {

inline std::uint64_t readLE(const std::uint8_t* p, std::size_t width) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < width; ++i) v |= std::uint64_t{p[i]} << (8 * i);
  return v;
}

inline void writeLE(std::uint8_t* p, std::size_t width, std::uint64_t v) {
  for (std::size_t i = 0; i < width; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void appendLE(std::vector<std::uint8_t>& out, std::size_t width, std::uint64_t v) {
  for (std::size_t i = 0; i < width; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace media::net
