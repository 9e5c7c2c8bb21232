#include "media/gst/GstDeviceIdentity.h"

#include <array>

namespace media::gst {
namespace {

// Device properties that name a device stably, in order of preference.
constexpr std::array<const char*, 4> kNamingKeys = {"device.path", "object.path", "node.name", "api.libcamera.path"};

std::string ProviderOf(GstDevice* device) { return G_OBJECT_TYPE_NAME(device); }

std::string DisplayNameOf(GstDevice* device) { return TakeString(gst_device_get_display_name(device)); }

void NamingProperty(GstDevice* device, std::string& key, std::string& value) {
  const GstStructurePtr properties(gst_device_get_properties(device));
  if (!properties) return;
  for (const char* candidate : kNamingKeys) {
    const char* text = gst_structure_get_string(properties.get(), candidate);
    if (text && *text) {
      key = candidate;
      value = text;
      return;
    }
  }
}

HRESULT WriteAll(IStream& stream, const void* data, ULONG size) {
  ULONG written = 0;
  const HRESULT hr = stream.Write(data, size, &written);
  if (FAILED(hr)) return hr;
  return written == size ? S_OK : STG_E_READFAULT;
}

HRESULT WriteU32(IStream& stream, std::uint32_t value) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                 static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return WriteAll(stream, bytes, sizeof bytes);
}

// At most kMaxText bytes, cut at a character boundary.
std::string Bounded(const std::string& text) {
  if (text.size() <= GstDeviceIdentity::kMaxText) return text;
  std::size_t end = GstDeviceIdentity::kMaxText;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

HRESULT WriteText(IStream& stream, const std::string& text) {
  const HRESULT hr = WriteU32(stream, static_cast<std::uint32_t>(text.size()));
  return FAILED(hr) || text.empty() ? hr : WriteAll(stream, text.data(), static_cast<ULONG>(text.size()));
}

HRESULT ReadAll(IStream& stream, void* data, ULONG size) {
  ULONG read = 0;
  const HRESULT hr = stream.Read(data, size, &read);
  if (FAILED(hr)) return hr;
  return read == size ? S_OK : STG_E_READFAULT;
}

HRESULT ReadU32(IStream& stream, std::uint32_t& value) {
  std::uint8_t b[4];
  const HRESULT hr = ReadAll(stream, b, sizeof b);
  value = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
  return hr;
}

HRESULT ReadText(IStream& stream, std::string& text) {
  std::uint32_t size = 0;
  HRESULT hr = ReadU32(stream, size);
  if (FAILED(hr)) return hr;
  if (size > GstDeviceIdentity::kMaxText) return E_INVALIDARG;
  text.assign(size, '\0');
  if (size > 0 && FAILED(hr = ReadAll(stream, text.data(), size))) return hr;
  return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr) ? S_OK : E_INVALIDARG;
}

}  // namespace

GstDeviceIdentity GstDeviceIdentity::Of(const std::vector<DeviceRef>& devices, std::size_t index) {
  GstDevice* device = devices[index].get();
  GstDeviceIdentity identity;
  identity.provider = ProviderOf(device);
  identity.displayName = DisplayNameOf(device);
  NamingProperty(device, identity.key, identity.value);
  for (std::size_t i = 0; i < index; ++i)
    if (ProviderOf(devices[i].get()) == identity.provider && DisplayNameOf(devices[i].get()) == identity.displayName)
      ++identity.occurrence;
  return identity;
}

bool GstDeviceIdentity::SameDevice(const GstDeviceIdentity& other) const {
  if (provider != other.provider || key != other.key) return false;
  if (!key.empty()) return value == other.value;
  return displayName == other.displayName && occurrence == other.occurrence;
}

HRESULT GstDeviceIdentity::Save(IStream& stream) const {
  HRESULT hr = WriteU32(stream, kVersion);
  for (const std::string* text : {&provider, &key, &value, &displayName})
    if (SUCCEEDED(hr)) hr = WriteText(stream, Bounded(*text));
  return SUCCEEDED(hr) ? WriteU32(stream, occurrence) : hr;
}

HRESULT GstDeviceIdentity::Load(IStream& stream, GstDeviceIdentity& identity) {
  std::uint32_t version = 0;
  HRESULT hr = ReadU32(stream, version);
  if (FAILED(hr)) return hr;
  if (version != kVersion) return E_INVALIDARG;
  GstDeviceIdentity read;
  for (std::string* text : {&read.provider, &read.key, &read.value, &read.displayName})
    if (FAILED(hr = ReadText(stream, *text))) return hr;
  if (FAILED(hr = ReadU32(stream, read.occurrence))) return hr;
  identity = std::move(read);
  return S_OK;
}

std::uint64_t GstDeviceIdentity::StoredSize() const {
  return 4 * 6 + provider.size() + key.size() + value.size() + displayName.size();
}

}  // namespace media::gst
