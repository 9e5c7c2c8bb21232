#pragma once
#include <cstddef>
#include <vector>

#include "media/framework/Filters.h"

namespace media {

// The pins of one platform filter at the moment of creation, in the filter's
// order; empty for a nil filter. A snapshot that holds the filter while it
// lives.
class TPinList {
 public:
  explicit TPinList(const BaseFilterPtr& filter);

  std::size_t Count() const { return pins_.size(); }
  const PinPtr& Item(std::size_t index) const { return pins_.at(index); }

 private:
  BaseFilterPtr filter_;
  std::vector<PinPtr> pins_;
};

}  // namespace media
