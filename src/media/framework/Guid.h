#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace media {

// A 16-byte identifier in the platform's memory layout (Data1..Data3 little-
// endian when stored), so stored blocks and tables keep their byte form.
struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::array<std::uint8_t, 8> Data4{};

  friend bool operator==(const GUID&, const GUID&) = default;
  bool IsNull() const { return *this == GUID{}; }

  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
  std::string ToString() const;
  // Accepts the braced form above in either case; nullopt for anything else.
  static std::optional<GUID> Parse(std::string_view text);
  // The 16 bytes as stored: Data1..Data3 little-endian, then Data4.
  std::array<std::uint8_t, 16> ToBytes() const;
  static GUID FromBytes(const std::uint8_t* bytes);
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;

}  // namespace media
