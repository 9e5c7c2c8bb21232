#include "media/TFilter.h"

#include "media/TFilterGraph.h"

namespace media {

TFilter::TFilter(std::string name) : TComponent(std::move(name)), baseFilter_(std::make_unique<TBaseFilter>()) {}

TFilter::~TFilter() {
  baseFilter_.reset();
  SetFilterGraph(nullptr);
}

void TFilter::SetFilterGraph(TFilterGraph* graph) { ChangeMemberGraph(*this, nullptr, graph_, graph); }

void TFilter::NotifyMember(TMemberOperation operation, int) {
  switch (operation) {
    case moAdding: filter_ = baseFilter_ ? baseFilter_->BindFilter() : nullptr; break;
    case moAdded: break;
    case moRemoving:
      if (filter_) filter_->Stop();
      break;
    case moRemoved: filter_.reset(); break;
    case moRefresh:
      if (graph_) {
        graph_->DetachMember(this);
        graph_->AttachMember(this);
      }
      break;
  }
}

}  // namespace media
