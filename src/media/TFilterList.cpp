#include "media/TFilterList.h"

#include <algorithm>

namespace media {

TFilterList::TFilterList(const std::shared_ptr<IFilterGraph>& graph) : graph_(graph) {
  std::shared_ptr<IEnumFilters> filters;
  if (!graph_ || graph_->EnumFilters(filters) != S_OK || !filters) return;
  std::vector<BaseFilterPtr> one;
  while (filters->Next(1, one) == S_OK && !one.empty()) {
    filters_.push_back(one.front());
    one.clear();
  }
}

void TFilterList::Remove(const BaseFilterPtr& filter) {
  auto it = std::find(filters_.begin(), filters_.end(), filter);
  if (it != filters_.end()) filters_.erase(it);
}

}  // namespace media
