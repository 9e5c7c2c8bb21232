#pragma once
#include <memory>
#include <string>

#include "media/GraphMember.h"
#include "media/TFilterGraph.h"
#include "media/fakes/CallLog.h"
#include "media/fakes/FakeFilter.h"

// A graph member that logs what the graph tells it ("M1.moAdding") and holds
// a fake filter from moAdding to moRemoved. With `listens` it is also a
// listener and logs control notices ("M1.gcActive 1") and events.
class TestMember : public media::IGraphMember, public media::IGraphListener {
 public:
  TestMember(std::string name, CallLog& log, bool listens = false) : name_(std::move(name)), log_(log), listens_(listens) {}
  ~TestMember() override { SetFilterGraph(nullptr); }

  void SetFilterGraph(media::TFilterGraph* graph) {
    media::ChangeMemberGraph(*this, listens_ ? this : nullptr, graph_, graph);
  }
  media::TFilterGraph* FilterGraph() const { return graph_; }
  std::shared_ptr<FakeFilter> filter;

  media::BaseFilterPtr GetMemberFilter() override { return filter; }
  std::string GetMemberName() override { return name_; }
  void NotifyMember(media::TMemberOperation operation, int) override {
    static const char* names[] = {"moAdding", "moAdded", "moRemoving", "moRemoved", "moRefresh"};
    log_.Add(name_ + "." + names[operation]);
    if (operation == media::moAdding) filter = std::make_shared<FakeFilter>(name_, 2);
    if (operation == media::moRemoved) filter.reset();
  }
  void MemberGraphDestroyed() override {
    log_.Add(name_ + ".graphDestroyed");
    graph_ = nullptr;
  }
  void HandleGraphEvent(media::LONG event, media::LONG_PTR, media::LONG_PTR) override {
    log_.Add(name_ + ".event " + std::to_string(event));
  }
  void HandleGraphControl(media::TGraphControl control, int param) override {
    static const char* names[] = {"gcPlay", "?", "gcStop", "?", "?", "?", "?", "gcActive"};
    log_.Add(name_ + "." + names[control] + " " + std::to_string(param));
  }

 private:
  std::string name_;
  CallLog& log_;
  bool listens_;
  media::TFilterGraph* graph_ = nullptr;
};
