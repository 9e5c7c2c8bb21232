#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "media/framework/Stream.h"
#include "media/gst/GstRef.h"

namespace media::gst {

// What finds a capture device again, in this or a later run: the kind of
// device (its provider's device type), the first stable property that names
// it (a device path such as /dev/video0, a PipeWire object path or node
// name), and, for devices that state none, the display name and how many
// devices of that kind and name come before it.
//
// Stored form (little-endian), after the moniker's class identifier:
//   u32 version (1), then provider, key, value, display name as
//   u32 byte count + UTF-8 bytes (at most kMaxText bytes each), then
//   u32 occurrence.
struct GstDeviceIdentity {
  static constexpr std::uint32_t kVersion = 1;
  static constexpr std::uint32_t kMaxText = 4096;

  std::string provider;
  std::string key;
  std::string value;
  std::string displayName;
  std::uint32_t occurrence = 0;

  // The identity of devices[index].
  static GstDeviceIdentity Of(const std::vector<DeviceRef>& devices, std::size_t index);

  // Same device: by provider and naming property, or, without one, by
  // provider, display name and occurrence.
  bool SameDevice(const GstDeviceIdentity& other) const;

  HRESULT Save(IStream& stream) const;
  // Reads exactly the stored form; STG_E_READFAULT when the stream ends
  // early, E_INVALIDARG for a wrong version, an oversized or non-UTF-8 text.
  // Nothing is read past the stored form and nothing larger than kMaxText is
  // allocated.
  static HRESULT Load(IStream& stream, GstDeviceIdentity& identity);
  std::uint64_t StoredSize() const;
};

}  // namespace media::gst
