#include "media/framework/Guid.h"

#include <cstdio>

namespace media {
namespace {

std::optional<std::uint32_t> Hex(std::string_view s) {
  std::uint32_t v = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    v = v * 16 + static_cast<std::uint32_t>(d);
  }
  return v;
}

}  // namespace

std::string GUID::ToString() const {
  char buf[40];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", Data1, Data2, Data3,
                Data4[0], Data4[1], Data4[2], Data4[3], Data4[4], Data4[5], Data4[6], Data4[7]);
  return buf;
}

std::optional<GUID> GUID::Parse(std::string_view t) {
  if (t.size() != 38 || t.front() != '{' || t.back() != '}' || t[9] != '-' || t[14] != '-' || t[19] != '-' ||
      t[24] != '-')
    return std::nullopt;
  auto d1 = Hex(t.substr(1, 8)), d2 = Hex(t.substr(10, 4)), d3 = Hex(t.substr(15, 4));
  if (!d1 || !d2 || !d3) return std::nullopt;
  GUID g{*d1, static_cast<std::uint16_t>(*d2), static_cast<std::uint16_t>(*d3), {}};
  const std::string_view tail[8] = {t.substr(20, 2), t.substr(22, 2), t.substr(25, 2), t.substr(27, 2),
                                    t.substr(29, 2), t.substr(31, 2), t.substr(33, 2), t.substr(35, 2)};
  for (int i = 0; i < 8; ++i) {
    auto b = Hex(tail[i]);
    if (!b) return std::nullopt;
    g.Data4[i] = static_cast<std::uint8_t>(*b);
  }
  return g;
}

std::array<std::uint8_t, 16> GUID::ToBytes() const {
  std::array<std::uint8_t, 16> b{};
  for (int i = 0; i < 4; ++i) b[i] = static_cast<std::uint8_t>(Data1 >> (8 * i));
  for (int i = 0; i < 2; ++i) b[4 + i] = static_cast<std::uint8_t>(Data2 >> (8 * i));
  for (int i = 0; i < 2; ++i) b[6 + i] = static_cast<std::uint8_t>(Data3 >> (8 * i));
  for (int i = 0; i < 8; ++i) b[8 + i] = Data4[i];
  return b;
}

GUID GUID::FromBytes(const std::uint8_t* b) {
  GUID g;
  g.Data1 = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
  g.Data2 = static_cast<std::uint16_t>(b[4] | b[5] << 8);
  g.Data3 = static_cast<std::uint16_t>(b[6] | b[7] << 8);
  for (int i = 0; i < 8; ++i) g.Data4[i] = b[8 + i];
  return g;
}

}  // namespace media
