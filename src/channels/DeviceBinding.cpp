#include "channels/DeviceBinding.h"

#include <QComboBox>

#include "media/TFilter.h"
#include "media/TSysDevEnum.h"

namespace channels {

void DeviceBinding::FillDeviceLists(const media::TSysDevEnum& devices, const Lists& lists) {
  for (int i = 0; i < static_cast<int>(devices.CountDevices()); ++i) {
    const QString name = QString::fromStdString(devices.DeviceRecord(i).FriendlyName);
    for (QComboBox* list : lists) list->addItem(name);
  }
  SelectDefaults(static_cast<int>(devices.CountDevices()), lists);
}

void DeviceBinding::SelectDefaults(int count, const Lists& lists) {
  if (count == 0 || count > 4) {
    for (QComboBox* list : lists) list->setCurrentIndex(-1);
    return;
  }
  for (int n = 0; n < 4; ++n) {
    if (n < count) {
      lists[n]->setCurrentIndex(n);
    } else {
      lists[n]->clear();
      lists[n]->setCurrentText(QString());
    }
  }
}

bool DeviceBinding::IsBound(const QComboBox* list) { return list && list->currentIndex() != -1; }

void DeviceBinding::SourceFromBinding(const media::TSysDevEnum& devices, const QComboBox* list,
                                      media::TFilter& source) {
  source.BaseFilter().StoreMoniker(devices.GetDeviceMoniker(list->currentIndex()));
}

}  // namespace channels
