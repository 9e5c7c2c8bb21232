#pragma once
#include <map>
#include <string>

#include "media/framework/Devices.h"

namespace media::gst {

// A device's properties as the platform names them. Read-only: Write
// answers E_ACCESSDENIED.
class GstDevicePropertyBag : public IPropertyBag {
 public:
  explicit GstDevicePropertyBag(std::map<std::u16string, std::u16string> values) : values_(std::move(values)) {}

  HRESULT Read(const std::u16string& name, VARIANT& value, const UnknownPtr& errorLog) override;
  HRESULT Write(const std::u16string& name, const VARIANT& value) override;

 private:
  std::map<std::u16string, std::u16string> values_;
};

}  // namespace media::gst
