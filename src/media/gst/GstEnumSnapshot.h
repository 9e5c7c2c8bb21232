#pragma once
#include <vector>

#include "media/framework/Types.h"

namespace media::gst {

// An enumerator over a list taken when it was made (pins of a filter, filters
// of a graph, device monitors): later changes of the source do not show.
// Interface is IEnumPins, IEnumFilters or IEnumMoniker, which share one shape.
template <class Interface, class Item>
class GstEnumSnapshot : public Interface {
 public:
  explicit GstEnumSnapshot(std::vector<Item> items) : items_(std::move(items)) {}

  HRESULT Next(ULONG count, std::vector<Item>& out) override {
    ULONG given = 0;
    while (given < count && position_ < items_.size()) {
      out.push_back(items_[position_++]);
      ++given;
    }
    return given == count ? S_OK : S_FALSE;
  }

  HRESULT Skip(ULONG count) override {
    const std::size_t left = items_.size() - position_;
    if (count > left) {
      position_ = items_.size();
      return S_FALSE;
    }
    position_ += count;
    return S_OK;
  }

  HRESULT Reset() override {
    position_ = 0;
    return S_OK;
  }

 private:
  std::vector<Item> items_;
  std::size_t position_ = 0;
};

}  // namespace media::gst
