#include "media/TPinList.h"

namespace media {

TPinList::TPinList(const BaseFilterPtr& filter) : filter_(filter) {
  std::shared_ptr<IEnumPins> pins;
  if (!filter_ || filter_->EnumPins(pins) != S_OK || !pins) return;
  std::vector<PinPtr> one;
  while (pins->Next(1, one) == S_OK && !one.empty()) {
    pins_.push_back(one.front());
    one.clear();
  }
}

}  // namespace media
