#include "media/fakes/FakeGraph.h"

#include <unistd.h>

#include <QString>
#include <algorithm>

#include "media/fakes/FakeEnum.h"
#include "platform/MessageWindow.h"

using namespace media;

namespace {
std::string Narrow(const std::u16string& s) { return QString::fromStdU16String(s).toStdString(); }
}  // namespace

void FakeGraph::QueueEvent(LONG code, LONG_PTR p1, LONG_PTR p2) {
  platform::HWND window;
  LONG message, flags;
  LONG_PTR instance;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.emplace_back(code, p1, p2);
    window = notifyWindow, message = notifyMessage, flags = notifyFlags, instance = notifyInstance;
  }
  if (window && flags == 0) platform::PostMessage(window, static_cast<platform::UINT>(message), 0, instance);
}

HRESULT FakeGraph::AddFilter(const BaseFilterPtr& filter, const std::u16string& name) {
  if (!filter) {
    Log("graph.AddFilter nil");
    return E_POINTER;
  }
  Log("graph.AddFilter " + Narrow(name));
  filters.push_back(filter);
  filter->JoinFilterGraph(std::dynamic_pointer_cast<IFilterGraph>(shared_from_this()), name);
  return S_OK;
}

HRESULT FakeGraph::RemoveFilter(const BaseFilterPtr& filter) {
  if (FAILED(removeFailure)) return removeFailure;
  auto it = std::find(filters.begin(), filters.end(), filter);
  if (it == filters.end()) return VFW_E_NOT_FOUND;
  FILTER_INFO info;
  filter->QueryFilterInfo(info);
  Log("graph.RemoveFilter " + Narrow(info.achName));
  filters.erase(it);
  filter->JoinFilterGraph(nullptr, u"");
  return S_OK;
}

HRESULT FakeGraph::EnumFilters(std::shared_ptr<IEnumFilters>& out) {
  out = std::make_shared<FakeEnum<IEnumFilters, BaseFilterPtr>>(filters);
  return S_OK;
}

HRESULT FakeGraph::FindFilterByName(const std::u16string& name, BaseFilterPtr& filter) {
  for (const auto& f : filters) {
    FILTER_INFO info;
    f->QueryFilterInfo(info);
    if (info.achName == name) return filter = f, S_OK;
  }
  return VFW_E_NOT_FOUND;
}

HRESULT FakeGraph::ConnectDirect(const PinPtr& out, const PinPtr& in, const AM_MEDIA_TYPE* type) {
  HRESULT hr = out->Connect(in, type);
  return FAILED(hr) ? hr : in->Connect(out, type);
}

HRESULT FakeGraph::Disconnect(const PinPtr& pin) { return pin->Disconnect(); }
HRESULT FakeGraph::Connect(const PinPtr& out, const PinPtr& in) { return ConnectDirect(out, in, nullptr); }

HRESULT FakeGraph::SetLogFile(LogFileHandle file) {
  logFiles.push_back(file);
  if (file != 0) [[maybe_unused]] auto n = ::write(static_cast<int>(file), "graph log\n", 10);
  return S_OK;
}

HRESULT FakeGraph::Run() {
  Log("graph.Run");
  return runResult;
}

HRESULT FakeGraph::Stop() {
  Log("graph.Stop");
  return stopResult;
}

HRESULT FakeGraph::GetState(LONG, OAFilterState& state) {
  state = 0;
  return S_OK;
}

HRESULT FakeGraph::GetEvent(LONG& code, LONG_PTR& p1, LONG_PTR& p2, LONG) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (events_.empty()) return E_ABORT;
  std::tie(code, p1, p2) = events_.front();
  events_.pop_front();
  return S_OK;
}

HRESULT FakeGraph::FreeEventParams(LONG, LONG_PTR, LONG_PTR) {
  ++freedEvents;
  return S_OK;
}

HRESULT FakeGraph::SetNotifyWindow(platform::HWND window, LONG message, LONG_PTR instance) {
  std::lock_guard<std::mutex> lock(mutex_);
  notifyWindow = window, notifyMessage = message, notifyInstance = instance;
  return S_OK;
}

HRESULT FakeGraph::SetNotifyFlags(LONG flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  notifyFlags = flags;
  return S_OK;
}

HRESULT FakeGraph::GetNotifyFlags(LONG& flags) {
  flags = notifyFlags;
  return S_OK;
}
