#include "media/gst/GstDevicePropertyBag.h"

namespace media::gst {

HRESULT GstDevicePropertyBag::Read(const std::u16string& name, VARIANT& value, const UnknownPtr&) {
  const auto it = values_.find(name);
  if (it == values_.end()) return E_INVALIDARG;
  value = it->second;
  return S_OK;
}

HRESULT GstDevicePropertyBag::Write(const std::u16string&, const VARIANT&) { return E_ACCESSDENIED; }

}  // namespace media::gst
