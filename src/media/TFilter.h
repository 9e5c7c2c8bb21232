#pragma once
#include <memory>

#include "media/GraphMember.h"
#include "media/TBaseFilter.h"
#include "media/TComponent.h"

namespace media {

// The capture source member of a graph: BaseFilter holds the device's moniker
// in stored form, and each activation of the graph binds it anew into a
// platform filter that enters the graph under the component's name. Holds
// that filter exactly from moAdding to moRemoved. Interface queries the
// component does not answer go to the filter while one is held.
class TFilter : public TComponent, public IGraphMember {
 public:
  explicit TFilter(std::string name = "Filter");
  ~TFilter() override;

  TBaseFilter& BaseFilter() { return *baseFilter_; }
  TFilterGraph* FilterGraph() const { return graph_; }
  void SetFilterGraph(TFilterGraph* graph);

  BaseFilterPtr GetMemberFilter() override { return filter_; }
  std::string GetMemberName() override { return Name(); }
  void NotifyMember(TMemberOperation operation, int param) override;
  void MemberGraphDestroyed() override { graph_ = nullptr; }

  template <class I>
  std::shared_ptr<I> Query() { return QueryObject<I>(*this); }
  std::vector<UnknownPtr> QueryDelegates() const override { return {filter_}; }

 private:
  std::unique_ptr<TBaseFilter> baseFilter_;
  TFilterGraph* graph_ = nullptr;
  BaseFilterPtr filter_;
};

}  // namespace media
