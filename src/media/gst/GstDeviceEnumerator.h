#pragma once
#include <vector>

#include "media/framework/Devices.h"
#include "media/gst/GstRef.h"

namespace media::gst {

// The system device enumerator. The video input category lists the
// "Video/Source" devices of every installed provider (v4l2 cameras, PipeWire
// or libcamera cameras where present, the synthetic cameras of the tests) in
// the device monitor's order, which is the same for two enumerations in a
// row while the devices stay. Other categories have no devices here.
class GstDeviceEnumerator : public ICreateDevEnum {
 public:
  HRESULT CreateClassEnumerator(const CLSID& category, std::shared_ptr<IEnumMoniker>& out, DWORD flags) override;

  // One fresh look at the video sources.
  static std::vector<DeviceRef> ProbeVideoSources();
};

}  // namespace media::gst
