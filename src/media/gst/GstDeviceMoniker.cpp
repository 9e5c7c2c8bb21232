#include "media/gst/GstDeviceMoniker.h"

#include "media/framework/Identifiers.h"
#include "media/gst/GstCaptureFilter.h"
#include "media/gst/GstClassIds.h"
#include "media/gst/GstDeviceEnumerator.h"
#include "media/gst/GstDevicePropertyBag.h"
#include "media/gst/GstText.h"

namespace media::gst {
namespace {

constexpr std::size_t kMaxFriendlyName = 255;

// The display name cut to 255 bytes, at a character boundary.
std::string FriendlyName(const std::string& name) {
  if (name.size() <= kMaxFriendlyName) return name;
  std::size_t end = kMaxFriendlyName;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

}  // namespace

HRESULT GstDeviceMoniker::GetClassID(CLSID& clsid) {
  clsid = CLSID_GstDeviceMoniker;
  return S_OK;
}

HRESULT GstDeviceMoniker::Load(IStream& stream) { return GstDeviceIdentity::Load(stream, identity_); }

HRESULT GstDeviceMoniker::Save(IStream& stream, bool) { return identity_.Save(stream); }

HRESULT GstDeviceMoniker::GetSizeMax(std::uint64_t& size) {
  size = identity_.StoredSize();
  return S_OK;
}

HRESULT GstDeviceMoniker::BindToObject(const UnknownPtr&, const MonikerPtr&, const IID& riid, UnknownPtr& out) {
  out.reset();
  if (riid != IID_IBaseFilter && riid != IID_IUnknown) return E_NOINTERFACE;
  const auto devices = GstDeviceEnumerator::ProbeVideoSources();
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (!GstDeviceIdentity::Of(devices, i).SameDevice(identity_)) continue;
    out = GstCaptureFilter::Make(devices[i].get(), Utf16(FriendlyName(identity_.displayName)));
    return out ? S_OK : E_FAIL;
  }
  return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
}

HRESULT GstDeviceMoniker::BindToStorage(const UnknownPtr&, const MonikerPtr&, const IID& riid, UnknownPtr& out) {
  out.reset();
  if (riid != IID_IPropertyBag) return E_NOINTERFACE;
  std::map<std::u16string, std::u16string> values{
      {u"FriendlyName", Utf16(FriendlyName(identity_.displayName))},
      {u"CLSID", Utf16(CLSID_GstCaptureFilter.ToString())},
  };
  if (!identity_.value.empty()) values[u"DevicePath"] = Utf16(identity_.value);
  out = std::make_shared<GstDevicePropertyBag>(std::move(values));
  return S_OK;
}

HRESULT GstDeviceMoniker::IsEqual(const MonikerPtr& other) {
  const auto device = std::dynamic_pointer_cast<GstDeviceMoniker>(other);
  return device && device->identity_.SameDevice(identity_) ? S_OK : S_FALSE;
}

HRESULT GstDeviceMoniker::GetDisplayName(const UnknownPtr&, const MonikerPtr&, std::u16string& name) {
  name = Utf16("@device:" + identity_.provider + ":" + (identity_.key.empty() ? identity_.displayName : identity_.value));
  return S_OK;
}

}  // namespace media::gst
