#include "media/fakes/FakeFilter.h"

#include "media/fakes/FakeEnum.h"

using namespace media;

HRESULT FakePin::Connect(const PinPtr& receivePin, const AM_MEDIA_TYPE*) {
  if (connected) return VFW_E_ALREADY_CONNECTED;
  connected = true;
  peer = receivePin;
  return S_OK;
}

HRESULT FakePin::Disconnect() {
  ++disconnects;
  if (FAILED(disconnectFailure)) return disconnectFailure;
  if (!connected) return S_FALSE;
  connected = false;
  peer.reset();
  return S_OK;
}

HRESULT FakePin::ConnectedTo(PinPtr& pin) {
  pin = peer;
  return connected ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT FakePin::QueryPinInfo(PIN_INFO& info) {
  info.dir = direction_;
  info.achName = direction_ == PINDIR_INPUT ? u"In" : u"Out";
  return S_OK;
}

HRESULT FakePin::QueryDirection(PIN_DIRECTION& direction) {
  direction = direction_;
  return S_OK;
}

HRESULT FakePin::QueryId(std::u16string& id) {
  id = direction_ == PINDIR_INPUT ? u"In" : u"Out";
  return S_OK;
}

FakeFilter::FakeFilter(std::string label_, int pinCount, CallLog* log_) : label(std::move(label_)), log(log_) {
  for (int i = 0; i < pinCount; ++i) pins.push_back(std::make_shared<FakePin>(i == 0 ? PINDIR_INPUT : PINDIR_OUTPUT));
}

HRESULT FakeFilter::GetClassID(CLSID& clsid) {
  clsid = CLSID{};
  return S_OK;
}

HRESULT FakeFilter::Stop() {
  ++stops;
  if (log) log->Add(label + ".Stop");
  return S_OK;
}

HRESULT FakeFilter::GetState(DWORD, FILTER_STATE& state) {
  state = State_Stopped;
  return S_OK;
}

HRESULT FakeFilter::EnumPins(std::shared_ptr<IEnumPins>& out) {
  out = std::make_shared<FakeEnum<IEnumPins, PinPtr>>(std::vector<PinPtr>(pins.begin(), pins.end()));
  return S_OK;
}

HRESULT FakeFilter::FindPin(const std::u16string&, PinPtr& pin) {
  pin.reset();
  return VFW_E_NOT_FOUND;
}

HRESULT FakeFilter::QueryFilterInfo(FILTER_INFO& info) {
  info.achName = nameInGraph;
  info.pGraph = graph_.lock();
  return S_OK;
}

HRESULT FakeFilter::JoinFilterGraph(const std::shared_ptr<IFilterGraph>& graph, const std::u16string& name) {
  graph_ = graph;
  nameInGraph = name;
  return S_OK;
}

void ConnectFakePins(const std::shared_ptr<FakePin>& out, const std::shared_ptr<FakePin>& in) {
  out->Connect(in, nullptr);
  in->Connect(out, nullptr);
}
