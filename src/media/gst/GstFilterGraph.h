#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/framework/Graphs.h"
#include "media/gst/GstFilter.h"
#include "media/gst/GstRef.h"

namespace platform {
class MessageWindow;
}

namespace media::gst {

class GstBusObserver;
class GstGraphBus;

// The platform filter graph: one GstPipeline holding the bins of its
// filters. User-interface thread only, except what GstGraphBus does for it.
//
// States of the pipeline, as the platform sees them:
//   Stopped (NULL)  --Run-->   Running (PLAYING; S_FALSE while it gets there)
//   Stopped         --Pause--> Paused (PAUSED)
//   Running/Paused  --Stop-->  [Draining] --> Stopped
// Draining happens only when a filter needs it (GstFilter::NeedsDrain): the
// stream is ended and Stop waits, for a bounded time, until those filters
// have finished their output. Filters with no connected pin stay out of a run
// (locked in NULL), so an unconnected sink cannot hold the pipeline back from
// playing and an unconnected source cannot fail it.
class GstFilterGraph : public IFilterGraph2, public IMediaControl, public IMediaEventEx {
 public:
  GstFilterGraph();
  ~GstFilterGraph() override;
  GstFilterGraph(const GstFilterGraph&) = delete;
  GstFilterGraph& operator=(const GstFilterGraph&) = delete;

  // IFilterGraph. Only our own filters (GstFilter) can join.
  HRESULT AddFilter(const BaseFilterPtr& filter, const std::u16string& name) override;
  HRESULT RemoveFilter(const BaseFilterPtr& filter) override;
  HRESULT EnumFilters(std::shared_ptr<IEnumFilters>& filters) override;
  HRESULT FindFilterByName(const std::u16string& name, BaseFilterPtr& filter) override;
  HRESULT ConnectDirect(const PinPtr& out, const PinPtr& in, const AM_MEDIA_TYPE* mediaType) override;
  HRESULT Disconnect(const PinPtr& pin) override;
  // IGraphBuilder.
  HRESULT Connect(const PinPtr& out, const PinPtr& in) override;
  HRESULT SetLogFile(LogFileHandle file) override;
  // IMediaControl.
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  HRESULT GetState(LONG timeoutMs, OAFilterState& state) override;
  // IMediaEventEx.
  HRESULT GetEvent(LONG& eventCode, LONG_PTR& param1, LONG_PTR& param2, LONG timeoutMs) override;
  HRESULT FreeEventParams(LONG eventCode, LONG_PTR param1, LONG_PTR param2) override;
  HRESULT SetNotifyWindow(platform::HWND window, LONG message, LONG_PTR instanceData) override;
  HRESULT SetNotifyFlags(LONG flags) override;
  HRESULT GetNotifyFlags(LONG& flags) override;

  GstElement* Pipeline() const { return pipeline_.get(); }
  // Our filters in the order they were added.
  std::vector<GstFilterPtr> Filters() const;
  bool Contains(const GstFilter& filter) const;
  // A name not yet taken: `name`, or `name` with " 0001", " 0002"... appended.
  std::u16string UniqueName(const std::u16string& name) const;

  // Called by pins and the builders when connections change, so that
  // observers (the published graph file) follow.
  void TopologyChanged();
  using Observer = std::function<void()>;
  int AddTopologyObserver(Observer observer);
  void RemoveTopologyObserver(int id);

  void Log(const std::string& line);
  static std::string ResultText(HRESULT hr);
  // Caps as the log shows them: long format lists are cut short.
  static std::string CapsText(const GstCaps* caps);

  // How long Stop lets draining filters finish their output.
  static constexpr int kDrainLimitMs = 5000;

 private:
  struct Entry {
    GstFilterPtr filter;
    std::u16string name;
  };

  // Lets every filter settle its inside for the run to come (from stopped).
  void PrepareIfStopped();
  void LockOutUnconnected(bool lock);
  void Drain();
  void HandleControl(platform::UINT msg);
  std::vector<Entry>::iterator Find(const IBaseFilter* filter);

  ElementRef pipeline_;
  std::unique_ptr<platform::MessageWindow> control_;
  std::shared_ptr<GstGraphBus> bus_;
  std::unique_ptr<GstBusObserver> observer_;
  std::vector<Entry> filters_;
  std::vector<std::pair<int, Observer>> observers_;
  int nextObserver_ = 1;
};

using GstFilterGraphPtr = std::shared_ptr<GstFilterGraph>;

}  // namespace media::gst
