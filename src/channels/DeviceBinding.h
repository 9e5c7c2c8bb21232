#pragma once
#include <array>

class QComboBox;

namespace media {
class TFilter;
class TSysDevEnum;
}  // namespace media

namespace channels {

// How devices are bound to the four channels: every device list shows the
// names of all devices found at start-up, and the default selection binds
// device k to channel k + 1 when there are one to four devices. With none, or
// with five or more, no channel is bound. The binding never changes later.
class DeviceBinding {
 public:
  using Lists = std::array<QComboBox*, 4>;

  static void FillDeviceLists(const media::TSysDevEnum& devices, const Lists& lists);
  static void SelectDefaults(int deviceCount, const Lists& lists);
  static bool IsBound(const QComboBox* list);
  // Stores the moniker of the device now at the list's selected position in
  // the capture source (nothing found empties it). The device is found again
  // by position, not by name.
  static void SourceFromBinding(const media::TSysDevEnum& devices, const QComboBox* list, media::TFilter& source);
};

}  // namespace channels
