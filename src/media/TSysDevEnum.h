#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "media/framework/Devices.h"

namespace media {

// One device of a category as enumerated.
struct TDeviceRecord {
  // UTF-8, at most 255 bytes (longer names are cut at a character boundary).
  std::string FriendlyName;
  // The device's filter class; all zero when the device states none.
  GUID CLSID;
};

// The devices of one category, in the platform's order (no sorting, no
// filtering, duplicates kept). The records are a snapshot: a device is found
// again by its position in a fresh enumeration, so a device plugged in or out
// after the snapshot shifts positions.
class TSysDevEnum {
 public:
  // Selects the category and enumerates it at once.
  explicit TSysDevEnum(const GUID& category);

  // Discards the records and enumerates the category. An empty category gives
  // no records; a "CLSID" text that is no identifier raises EConvertError with
  // the records before it kept.
  void SelectCategory(const GUID& category);
  const GUID& Category() const { return category_; }

  std::size_t CountDevices() const { return devices_.size(); }
  // Raises EListError "List index out of bounds (<index>)" outside the list.
  TDeviceRecord DeviceRecord(int index) const;
  // The moniker of the device at that position in a fresh enumeration; nil
  // outside the list or when the platform gives none.
  MonikerPtr GetDeviceMoniker(int index) const;

 private:
  GUID category_;
  std::vector<TDeviceRecord> devices_;
};

// Cuts UTF-8 text to at most maxBytes bytes without splitting a character.
std::string CutUtf8(const std::string& text, std::size_t maxBytes);

}  // namespace media
