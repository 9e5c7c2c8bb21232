#pragma once
#include "media/framework/Devices.h"
#include "media/gst/GstDeviceIdentity.h"

namespace media::gst {

// The moniker of a capture device. It holds the device's identity, not the
// device: binding looks the device up in a fresh enumeration, so a moniker
// kept across runs finds its camera again and one whose camera is gone binds
// to nothing. User-interface thread.
class GstDeviceMoniker : public IMoniker {
 public:
  GstDeviceMoniker() = default;  // empty, for loading
  explicit GstDeviceMoniker(GstDeviceIdentity identity) : identity_(std::move(identity)) {}

  HRESULT GetClassID(CLSID& clsid) override;
  HRESULT IsDirty() override { return S_FALSE; }
  HRESULT Load(IStream& stream) override;
  HRESULT Save(IStream& stream, bool clearDirty) override;
  HRESULT GetSizeMax(std::uint64_t& size) override;

  // IID_IBaseFilter (or IID_IUnknown): a new capture filter around the
  // device's element; HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED) and nil
  // when the device is no longer there.
  HRESULT BindToObject(const UnknownPtr& bindContext, const MonikerPtr& left, const IID& riid,
                       UnknownPtr& out) override;
  // IID_IPropertyBag: "FriendlyName", "CLSID", "DevicePath".
  HRESULT BindToStorage(const UnknownPtr& bindContext, const MonikerPtr& left, const IID& riid,
                        UnknownPtr& out) override;
  HRESULT IsEqual(const MonikerPtr& other) override;
  HRESULT GetDisplayName(const UnknownPtr& bindContext, const MonikerPtr& left, std::u16string& name) override;

  const GstDeviceIdentity& Identity() const { return identity_; }

 private:
  GstDeviceIdentity identity_;
};

}  // namespace media::gst
