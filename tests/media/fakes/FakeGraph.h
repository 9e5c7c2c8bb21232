#pragma once
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "media/fakes/CallLog.h"
#include "media/framework/Graphs.h"

// A platform graph that keeps its filters in a list, answers Run and Stop
// with configurable results, and queues events that it announces to the
// notify window like the real one. QueueEvent may be called from any thread.
class FakeGraph : public media::IFilterGraph2, public media::IMediaControl, public media::IMediaEventEx {
 public:
  explicit FakeGraph(CallLog* log = nullptr) : log(log) {}

  CallLog* log;
  std::vector<media::BaseFilterPtr> filters;
  media::HRESULT runResult = media::S_OK;
  media::HRESULT stopResult = media::S_OK;
  media::HRESULT removeFailure = media::S_OK;
  std::vector<media::LogFileHandle> logFiles;  // every SetLogFile argument
  platform::HWND notifyWindow = 0;
  media::LONG notifyMessage = 0;
  media::LONG_PTR notifyInstance = 0;
  media::LONG notifyFlags = 0;
  int freedEvents = 0;

  void QueueEvent(media::LONG code, media::LONG_PTR param1 = 0, media::LONG_PTR param2 = 0);

  media::HRESULT AddFilter(const media::BaseFilterPtr& filter, const std::u16string& name) override;
  media::HRESULT RemoveFilter(const media::BaseFilterPtr& filter) override;
  media::HRESULT EnumFilters(std::shared_ptr<media::IEnumFilters>& out) override;
  media::HRESULT FindFilterByName(const std::u16string& name, media::BaseFilterPtr& filter) override;
  media::HRESULT ConnectDirect(const media::PinPtr& out, const media::PinPtr& in,
                               const media::AM_MEDIA_TYPE*) override;
  media::HRESULT Disconnect(const media::PinPtr& pin) override;
  media::HRESULT Connect(const media::PinPtr& out, const media::PinPtr& in) override;
  media::HRESULT SetLogFile(media::LogFileHandle file) override;

  media::HRESULT Run() override;
  media::HRESULT Pause() override { return media::S_OK; }
  media::HRESULT Stop() override;
  media::HRESULT GetState(media::LONG, media::OAFilterState& state) override;

  media::HRESULT GetEvent(media::LONG& code, media::LONG_PTR& p1, media::LONG_PTR& p2, media::LONG) override;
  media::HRESULT FreeEventParams(media::LONG, media::LONG_PTR, media::LONG_PTR) override;
  media::HRESULT SetNotifyWindow(platform::HWND window, media::LONG message, media::LONG_PTR instance) override;
  media::HRESULT SetNotifyFlags(media::LONG flags) override;
  media::HRESULT GetNotifyFlags(media::LONG& flags) override;

 private:
  void Log(const std::string& entry) {
    if (log) log->Add(entry);
  }
  std::mutex mutex_;
  std::deque<std::tuple<media::LONG, media::LONG_PTR, media::LONG_PTR>> events_;
};

// Remembers the graph it was given.
class FakeCaptureBuilder : public media::ICaptureGraphBuilder2 {
 public:
  std::shared_ptr<media::IGraphBuilder> graph;
  media::HRESULT SetFiltergraph(const std::shared_ptr<media::IGraphBuilder>& g) override {
    graph = g;
    return media::S_OK;
  }
  media::HRESULT GetFiltergraph(std::shared_ptr<media::IGraphBuilder>& g) override {
    g = graph;
    return graph ? media::S_OK : media::E_UNEXPECTED;
  }
  media::HRESULT RenderStream(const media::GUID*, const media::GUID*, const media::UnknownPtr&,
                              const media::BaseFilterPtr&, const media::BaseFilterPtr&) override {
    return media::E_NOTIMPL;
  }
  media::HRESULT FindPin(const media::UnknownPtr&, media::PIN_DIRECTION, const media::GUID*, const media::GUID*,
                         bool, int, media::PinPtr&) override {
    return media::E_NOTIMPL;
  }
};
