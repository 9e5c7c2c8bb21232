#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "media/framework/Graphs.h"

namespace media {

// The filters of one platform graph at the moment of creation, in the graph's
// order. A snapshot: later changes to the graph do not change it. Holds a
// reference to the graph while it lives.
class TFilterList {
 public:
  explicit TFilterList(const std::shared_ptr<IFilterGraph>& graph);

  std::size_t Count() const { return filters_.size(); }
  const BaseFilterPtr& Item(std::size_t index) const { return filters_.at(index); }
  // Removes the first entry that is the same reference, if any.
  void Remove(const BaseFilterPtr& filter);

 private:
  std::shared_ptr<IFilterGraph> graph_;
  std::vector<BaseFilterPtr> filters_;
};

}  // namespace media
