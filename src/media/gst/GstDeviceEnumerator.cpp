#include "media/gst/GstDeviceEnumerator.h"

#include "media/framework/Identifiers.h"
#include "media/gst/GstDeviceMoniker.h"
#include "media/gst/GstEnumSnapshot.h"

namespace media::gst {

std::vector<DeviceRef> GstDeviceEnumerator::ProbeVideoSources() {
  const GstRef<GstDeviceMonitor> monitor = GstRef<GstDeviceMonitor>::Adopt(gst_device_monitor_new());
  gst_device_monitor_add_filter(monitor.get(), "Video/Source", nullptr);
  std::vector<DeviceRef> devices;
  GList* list = gst_device_monitor_get_devices(monitor.get());
  for (GList* item = list; item; item = item->next) devices.push_back(DeviceRef::Adopt(GST_DEVICE(item->data)));
  g_list_free(list);
  return devices;
}

HRESULT GstDeviceEnumerator::CreateClassEnumerator(const CLSID& category, std::shared_ptr<IEnumMoniker>& out,
                                                   DWORD) {
  out.reset();
  if (category != CLSID_VideoInputDeviceCategory) return S_FALSE;
  const auto devices = ProbeVideoSources();
  if (devices.empty()) return S_FALSE;
  std::vector<MonikerPtr> monikers;
  for (std::size_t i = 0; i < devices.size(); ++i)
    monikers.push_back(std::make_shared<GstDeviceMoniker>(GstDeviceIdentity::Of(devices, i)));
  out = std::make_shared<GstEnumSnapshot<IEnumMoniker, MonikerPtr>>(std::move(monikers));
  return S_OK;
}

}  // namespace media::gst
