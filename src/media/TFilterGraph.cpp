#include "media/TFilterGraph.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <exception>

#include <QString>

#include "media/WideText.h"
#include "media/GraphRunningTable.h"
#include "media/MediaErrors.h"
#include "media/TFilterList.h"
#include "media/TPinList.h"
#include "media/framework/ClassFactory.h"
#include "media/framework/Identifiers.h"
#include "platform/Application.h"

namespace media {
namespace {

template <class T>
void Erase(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

}  // namespace

TFilterGraph::TFilterGraph(std::string name)
    : TComponent(std::move(name)),
      window_(std::make_unique<platform::MessageWindow>(
          [this](platform::UINT msg, platform::WPARAM w, platform::LPARAM l) { return HandleMessage(msg, w, l); })) {}

TFilterGraph::~TFilterGraph() {
  try {
    SetActive(false);
  } catch (...) {
    platform::Application::ShowException(std::current_exception());
  }
  window_.reset();
  const auto members = members_;
  members_.clear();
  listeners_.clear();
  for (IGraphMember* member : members) member->MemberGraphDestroyed();
}

void TFilterGraph::SetActive(bool active) {
  if (active == active_) return;
  if (active) Activate();
  else Deactivate();
}

void TFilterGraph::SetMode(TGraphMode mode) {
  if (mode == mode_) return;
  const bool wasActive = active_;
  SetActive(false);
  mode_ = mode;
  SetActive(wasActive);
}

void TFilterGraph::SetGraphEdit(bool graphEdit) {
  if (graphEdit && graph_ && runningTableCookie_ == 0) {
    DWORD cookie = 0;
    if (SUCCEEDED(AddGraphToRunningTable(graph_, cookie))) runningTableCookie_ = cookie;
  } else if (!graphEdit && runningTableCookie_ != 0) {
    RemoveGraphFromRunningTable(runningTableCookie_);
    runningTableCookie_ = 0;
  }
  graphEdit_ = graphEdit;
}

void TFilterGraph::SetLogFile(const std::string& logFile) {
  if (active_) {
    if (graph_) graph_->SetLogFile(0);
    CloseLogFile();
    if (!logFile.empty()) {
      OpenLogFile(logFile);
      if (logFd_ < 0) return;
    }
  }
  logFile_ = logFile;
}

void TFilterGraph::OpenLogFile(const std::string& name) {
  logFd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (graph_) graph_->SetLogFile(logFd_ < 0 ? 0 : logFd_);
}

void TFilterGraph::CloseLogFile() {
  if (logFd_ >= 0) ::close(logFd_);
  logFd_ = -1;
}

void TFilterGraph::Loaded() {
  if (AutoCreate) SetActive(true);
}

void TFilterGraph::CreatePlatformObjects() {
  if (mode_ == gmCapture) {
    CoCreateInstance<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder2, captureBuilder_);
    CoCreateInstance<IFilterGraph2>(CLSID_FilterGraph, graph_);
    if (captureBuilder_) captureBuilder_->SetFiltergraph(graph_);
  } else if (mode_ == gmDVD) {
    CoCreateInstance<IDvdGraphBuilder>(CLSID_DvdGraphBuilder, dvdBuilder_);
    std::shared_ptr<IGraphBuilder> builder;
    if (dvdBuilder_) dvdBuilder_->GetFiltergraph(builder);
    graph_ = media::Query<IFilterGraph2>(builder);
  } else {
    CoCreateInstance<IFilterGraph2>(CLSID_FilterGraph, graph_);
  }
}

void TFilterGraph::StartNotification() {
  events_ = Query<IMediaEventEx>();
  if (!events_) return;
  events_->SetNotifyFlags(0);
  events_->SetNotifyWindow(window_->Handle(), WM_GRAPHNOTIFY, reinterpret_cast<LONG_PTR>(events_.get()));
}

void TFilterGraph::StopNotification() {
  if (!events_) return;
  events_->SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY);
  events_.reset();
}

void TFilterGraph::Activate() {
  CreatePlatformObjects();
  active_ = true;
  StartNotification();
  SetGraphEdit(graphEdit_);
  SetLogFile(logFile_);
  for (IGraphMember* member : std::vector<IGraphMember*>(members_)) AddMember(member);
  if (OnActivate) OnActivate(*this);
  NotifyListeners(gcActive, 1);
}

void TFilterGraph::Deactivate() {
  NotifyListeners(gcActive, 0);
  for (IGraphMember* member : std::vector<IGraphMember*>(members_)) RemoveMember(member);
  StopNotification();
  if (runningTableCookie_ != 0) {
    RemoveGraphFromRunningTable(runningTableCookie_);
    runningTableCookie_ = 0;
  }
  if (graph_) graph_->SetLogFile(0);
  CloseLogFile();
  graph_.reset();
  captureBuilder_.reset();
  dvdBuilder_.reset();
  active_ = false;
}

void TFilterGraph::AddMember(IGraphMember* member) {
  member->NotifyMember(moAdding, 0);
  const std::string name = member->GetMemberName();
  const BaseFilterPtr filter = member->GetMemberFilter();
  if (graph_) graph_->AddFilter(filter, Wide(name));
  member->NotifyMember(moAdded, 0);
}

void TFilterGraph::RemoveMember(IGraphMember* member) {
  member->NotifyMember(moRemoving, 0);
  if (graph_) graph_->RemoveFilter(member->GetMemberFilter());
  member->NotifyMember(moRemoved, 0);
}

void TFilterGraph::NotifyListeners(TGraphControl control, int param) {
  for (IGraphListener* listener : std::vector<IGraphListener*>(listeners_)) listener->HandleGraphControl(control, param);
}

void TFilterGraph::AttachMember(IGraphMember* member) {
  if (!member || std::find(members_.begin(), members_.end(), member) != members_.end()) return;
  members_.push_back(member);
  if (active_) AddMember(member);
}

void TFilterGraph::DetachMember(IGraphMember* member) {
  if (std::find(members_.begin(), members_.end(), member) == members_.end()) return;
  Erase(members_, member);
  if (active_) RemoveMember(member);
}

void TFilterGraph::AttachListener(IGraphListener* listener) {
  if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
    listeners_.push_back(listener);
}

void TFilterGraph::DetachListener(IGraphListener* listener) { Erase(listeners_, listener); }

bool TFilterGraph::Play() {
  auto control = Query<IMediaControl>();
  if (!control) return false;
  NotifyListeners(gcPlay, 0);
  CheckMediaResult(control->Run());
  return true;
}

bool TFilterGraph::Stop() {
  auto control = Query<IMediaControl>();
  if (!control) return false;
  NotifyListeners(gcStop, 0);
  return CheckMediaResult(control->Stop()) == S_OK;
}

void TFilterGraph::ResetGraph() {
  if (!graph_) return;
  Stop();
  DisconnectAll();
  TFilterList filters(graph_);
  for (IGraphMember* member : members_) filters.Remove(member->GetMemberFilter());
  const auto graph = graph_;
  for (std::size_t i = 0; i < filters.Count(); ++i) CheckMediaResult(graph->RemoveFilter(filters.Item(i)));
}

void TFilterGraph::DisconnectAll() {
  if (!graph_) return;
  TFilterList filters(graph_);
  for (std::size_t i = 0; i < filters.Count(); ++i) {
    TPinList pins(filters.Item(i));
    for (std::size_t j = 0; j < pins.Count(); ++j) CheckMediaResult(pins.Item(j)->Disconnect());
  }
}

void TFilterGraph::DispatchGraphEvent(LONG event, LONG_PTR param1, LONG_PTR param2) {
  for (IGraphListener* listener : std::vector<IGraphListener*>(listeners_))
    listener->HandleGraphEvent(event, param1, param2);
  if (OnDSEvent) OnDSEvent(*this, event, param1, param2);
  if (!DispatchGraphTable(*this, event, param1, param2)) DispatchDvdTable(*this, event, param1, param2);
}

std::vector<UnknownPtr> TFilterGraph::QueryDelegates() const {
  if (!active_) return {};
  switch (mode_) {
    case gmCapture: return {captureBuilder_, graph_};
    case gmDVD: {
      UnknownPtr info, control;
      if (dvdBuilder_) {
        dvdBuilder_->GetDvdInterface(IID_IDvdInfo2, info);
        dvdBuilder_->GetDvdInterface(IID_IDvdControl2, control);
      }
      return {dvdBuilder_, info, control, graph_};
    }
    default: return {graph_};
  }
}

platform::LRESULT TFilterGraph::HandleMessage(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam) {
  if (msg != WM_GRAPHNOTIFY) return platform::MessageWindow::DefWindowProc(msg, wParam, lParam);
  DrainEvents();
  return 0;
}

// A handler may deactivate the graph or change its mode: draining stops as
// soon as the event interface it started with is no longer the graph's.
void TFilterGraph::DrainEvents() {
  const auto events = events_;
  LONG code = 0;
  LONG_PTR param1 = 0, param2 = 0;
  while (events && events == events_ && events->GetEvent(code, param1, param2, 0) == S_OK) {
    try {
      DispatchGraphEvent(code, param1, param2);
    } catch (...) {
      platform::Application::ShowException(std::current_exception());
      return;
    }
    events->FreeEventParams(code, param1, param2);
  }
}

}  // namespace media
