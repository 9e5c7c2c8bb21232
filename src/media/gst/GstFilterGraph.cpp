#include "media/gst/GstFilterGraph.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "media/framework/ErrorText.h"
#include "media/gst/GstBusObserver.h"
#include "media/gst/GstConnector.h"
#include "media/gst/GstEnumSnapshot.h"
#include "media/gst/GstGraphBus.h"
#include "media/gst/GstText.h"
#include "platform/MessageWindow.h"

namespace media::gst {
namespace {

bool HasConnectedPin(const GstFilter& filter) {
  return std::any_of(filter.Pins().begin(), filter.Pins().end(), [](const GstPinPtr& p) { return p->IsConnected(); });
}

OAFilterState StateOf(GstState state) {
  switch (state) {
    case GST_STATE_PLAYING: return State_Running;
    case GST_STATE_PAUSED: return State_Paused;
    default: return State_Stopped;
  }
}

}  // namespace

GstFilterGraph::GstFilterGraph()
    : pipeline_(ElementRef::Adopt(gst_pipeline_new(nullptr))), control_(std::make_unique<platform::MessageWindow>()) {
  control_->SetProcedure([this](platform::UINT msg, platform::WPARAM, platform::LPARAM) {
    HandleControl(msg);
    return platform::LRESULT{0};
  });
  // Children's own end-of-stream messages are what draining waits for.
  g_object_set(pipeline_.get(), "message-forward", TRUE, nullptr);
  bus_ = std::make_shared<GstGraphBus>(pipeline_.get(), control_->Handle());
  observer_ = std::make_unique<GstBusObserver>(BusRef::Adopt(gst_element_get_bus(pipeline_.get())),
                                               [bus = bus_](GstMessage* message) { bus->OnMessage(message); });
}

GstFilterGraph::~GstFilterGraph() {
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  observer_.reset();
  for (const Entry& entry : filters_) {
    gst_element_set_locked_state(entry.filter->Bin(), FALSE);
    gst_bin_remove(GST_BIN(pipeline_.get()), entry.filter->Bin());
    entry.filter->JoinFilterGraph(nullptr, u"");
  }
  bus_->Events().Clear();
}

std::vector<GstFilterGraph::Entry>::iterator GstFilterGraph::Find(const IBaseFilter* filter) {
  return std::find_if(filters_.begin(), filters_.end(),
                      [filter](const Entry& e) { return static_cast<const IBaseFilter*>(e.filter.get()) == filter; });
}

bool GstFilterGraph::Contains(const GstFilter& filter) const {
  return std::any_of(filters_.begin(), filters_.end(), [&](const Entry& e) { return e.filter.get() == &filter; });
}

std::vector<GstFilterPtr> GstFilterGraph::Filters() const {
  std::vector<GstFilterPtr> filters;
  for (const Entry& e : filters_) filters.push_back(e.filter);
  return filters;
}

std::u16string GstFilterGraph::UniqueName(const std::u16string& name) const {
  const auto taken = [this](const std::u16string& n) {
    return std::any_of(filters_.begin(), filters_.end(), [&](const Entry& e) { return e.name == n; });
  };
  if (!taken(name)) return name;
  for (int i = 1;; ++i) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, " %04d", i);
    std::u16string candidate = name + Utf16(suffix);
    if (!taken(candidate)) return candidate;
  }
}

HRESULT GstFilterGraph::AddFilter(const BaseFilterPtr& filter, const std::u16string& name) {
  if (!filter) return E_POINTER;
  const auto ours = std::dynamic_pointer_cast<GstFilter>(filter);
  if (!ours) return VFW_E_NO_INTERFACE;
  if (Contains(*ours) || GST_OBJECT_PARENT(ours->Bin())) return E_INVALIDARG;
  const std::u16string wanted = name.empty() ? ours->DefaultName() : name;
  const std::u16string unique = UniqueName(wanted);
  gst_object_set_name(GST_OBJECT(ours->Bin()), Utf8(unique).c_str());
  gst_bin_add(GST_BIN(pipeline_.get()), ours->Bin());
  filters_.push_back({ours, unique});
  ours->JoinFilterGraph(std::dynamic_pointer_cast<IFilterGraph>(weak_from_this().lock()), unique);
  Log("add filter \"" + Utf8(unique) + "\"");
  TopologyChanged();
  return unique == wanted ? S_OK : VFW_S_DUPLICATE_NAME;
}

HRESULT GstFilterGraph::RemoveFilter(const BaseFilterPtr& filter) {
  if (!filter) return E_POINTER;
  const auto it = Find(filter.get());
  if (it == filters_.end()) return VFW_E_NOT_FOUND;
  const Entry entry = *it;
  filters_.erase(it);
  GstElement* bin = entry.filter->Bin();
  gst_element_set_locked_state(bin, FALSE);
  gst_element_set_state(bin, GST_STATE_NULL);
  gst_bin_remove(GST_BIN(pipeline_.get()), bin);  // unlinks its pads too
  entry.filter->JoinFilterGraph(nullptr, u"");
  Log("remove filter \"" + Utf8(entry.name) + "\"");
  TopologyChanged();
  return S_OK;
}

HRESULT GstFilterGraph::EnumFilters(std::shared_ptr<IEnumFilters>& filters) {
  std::vector<BaseFilterPtr> items;
  for (const Entry& e : filters_) items.push_back(e.filter);
  filters = std::make_shared<GstEnumSnapshot<IEnumFilters, BaseFilterPtr>>(std::move(items));
  return S_OK;
}

HRESULT GstFilterGraph::FindFilterByName(const std::u16string& name, BaseFilterPtr& filter) {
  filter.reset();
  for (const Entry& e : filters_)
    if (e.name == name) {
      filter = e.filter;
      return S_OK;
    }
  return VFW_E_NOT_FOUND;
}

HRESULT GstFilterGraph::ConnectDirect(const PinPtr& out, const PinPtr& in, const AM_MEDIA_TYPE* mediaType) {
  if (!out || !in) return E_POINTER;
  return out->Connect(in, mediaType);
}

HRESULT GstFilterGraph::Disconnect(const PinPtr& pin) { return pin ? pin->Disconnect() : E_POINTER; }

HRESULT GstFilterGraph::Connect(const PinPtr& out, const PinPtr& in) {
  if (!out || !in) return E_POINTER;
  const auto from = std::dynamic_pointer_cast<GstPin>(out), to = std::dynamic_pointer_cast<GstPin>(in);
  if (!from || !to) return VFW_E_CANNOT_CONNECT;
  GstConnector connector(*this);
  const HRESULT hr = connector.Connect(from, to);
  if (SUCCEEDED(hr)) connector.Commit();
  return hr;
}

HRESULT GstFilterGraph::SetLogFile(LogFileHandle file) {
  bus_->Log().SetFile(file);
  return S_OK;
}

void GstFilterGraph::PrepareIfStopped() {
  if (GST_STATE(pipeline_.get()) >= GST_STATE_PAUSED) return;
  for (const Entry& e : filters_) e.filter->PrepareRun();
}

void GstFilterGraph::LockOutUnconnected(bool lock) {
  for (const Entry& e : filters_) {
    const bool out = lock && !HasConnectedPin(*e.filter);
    gst_element_set_locked_state(e.filter->Bin(), out);
    if (out) gst_element_set_state(e.filter->Bin(), GST_STATE_NULL);
  }
}

HRESULT GstFilterGraph::Run() {
  bus_->BeginRun();
  PrepareIfStopped();
  LockOutUnconnected(true);
  Log("run");
  const GstStateChangeReturn change = gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
  if (change != GST_STATE_CHANGE_FAILURE) return change == GST_STATE_CHANGE_ASYNC ? S_FALSE : S_OK;
  const HRESULT hr = FAILED(bus_->FirstError()) ? bus_->FirstError() : E_FAIL;
  // A failed start leaves nothing half-running: devices are released again.
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  Log("run failed: " + ResultText(hr));
  return hr;
}

HRESULT GstFilterGraph::Pause() {
  PrepareIfStopped();
  LockOutUnconnected(true);
  Log("pause");
  const GstStateChangeReturn change = gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
  if (change == GST_STATE_CHANGE_FAILURE) return FAILED(bus_->FirstError()) ? bus_->FirstError() : E_FAIL;
  return change == GST_STATE_CHANGE_ASYNC ? S_FALSE : S_OK;
}

HRESULT GstFilterGraph::Stop() {
  Log("stop");
  std::vector<GstElement*> draining;
  for (const Entry& e : filters_)
    if (e.filter->NeedsDrain() && HasConnectedPin(*e.filter)) draining.push_back(e.filter->Bin());
  const bool playing = GST_STATE(pipeline_.get()) == GST_STATE_PLAYING;
  if (bus_->BeginDrain(playing ? draining : std::vector<GstElement*>{})) Drain();
  const GstStateChangeReturn change = gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  bus_->EndDrain();
  LockOutUnconnected(false);
  return change == GST_STATE_CHANGE_FAILURE ? E_FAIL : S_OK;
}

void GstFilterGraph::Drain() {
  gst_element_send_event(pipeline_.get(), gst_event_new_eos());
  const bool done = bus_->WaitDrained(std::chrono::milliseconds(kDrainLimitMs));
  Log(done ? "drained" : "drain timed out");
}

HRESULT GstFilterGraph::GetState(LONG timeoutMs, OAFilterState& state) {
  GstState current = GST_STATE_NULL, pending = GST_STATE_VOID_PENDING;
  const GstClockTime timeout = timeoutMs < 0 ? GST_CLOCK_TIME_NONE : static_cast<GstClockTime>(timeoutMs) * GST_MSECOND;
  const GstStateChangeReturn change = gst_element_get_state(pipeline_.get(), &current, &pending, timeout);
  state = StateOf(change == GST_STATE_CHANGE_ASYNC && pending != GST_STATE_VOID_PENDING ? pending : current);
  if (change == GST_STATE_CHANGE_FAILURE) return E_FAIL;
  return change == GST_STATE_CHANGE_ASYNC ? VFW_S_STATE_INTERMEDIATE : S_OK;
}

HRESULT GstFilterGraph::GetEvent(LONG& eventCode, LONG_PTR& param1, LONG_PTR& param2, LONG timeoutMs) {
  return bus_->Events().Get(eventCode, param1, param2, timeoutMs);
}

HRESULT GstFilterGraph::FreeEventParams(LONG eventCode, LONG_PTR param1, LONG_PTR param2) {
  return bus_->Events().Free(eventCode, param1, param2);
}

HRESULT GstFilterGraph::SetNotifyWindow(platform::HWND window, LONG message, LONG_PTR instanceData) {
  return bus_->Events().SetNotifyWindow(window, message, instanceData);
}

HRESULT GstFilterGraph::SetNotifyFlags(LONG flags) { return bus_->Events().SetNotifyFlags(flags); }

HRESULT GstFilterGraph::GetNotifyFlags(LONG& flags) {
  flags = bus_->Events().NotifyFlags();
  return S_OK;
}

void GstFilterGraph::HandleControl(platform::UINT msg) {
  if (msg == GstGraphBus::kRecalculateLatency) {
    gst_bin_recalculate_latency(GST_BIN(pipeline_.get()));
  } else if (msg == GstGraphBus::kReselectClock && GST_STATE(pipeline_.get()) == GST_STATE_PLAYING) {
    gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
    gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
  }
}

void GstFilterGraph::TopologyChanged() {
  const auto observers = observers_;
  for (const auto& [id, observer] : observers) observer();
}

int GstFilterGraph::AddTopologyObserver(Observer observer) {
  observers_.emplace_back(nextObserver_, std::move(observer));
  return nextObserver_++;
}

void GstFilterGraph::RemoveTopologyObserver(int id) {
  std::erase_if(observers_, [id](const auto& o) { return o.first == id; });
}

void GstFilterGraph::Log(const std::string& line) { bus_->Log().Write(line); }

std::string GstFilterGraph::CapsText(const GstCaps* caps) {
  constexpr std::size_t kLimit = 240;
  std::string text = caps ? TakeString(gst_caps_to_string(caps)) : "none";
  if (text.size() > kLimit) text = text.substr(0, kLimit) + "...";
  return text;
}

std::string GstFilterGraph::ResultText(HRESULT hr) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
  const std::string text = ErrorTextOf(hr);
  return text.empty() ? std::string(code) : text + " (" + code + ")";
}

}  // namespace media::gst
