#include "media/gst/GstPin.h"

#include "media/gst/GstFilter.h"
#include "media/gst/GstFilterGraph.h"
#include "media/gst/GstMediaTypes.h"
#include "media/gst/GstText.h"

namespace media::gst {
namespace {

GQuark PinQuark() {
  static const GQuark quark = g_quark_from_static_string("quadrovia-pin");
  return quark;
}

HRESULT ResultOfLink(GstPadLinkReturn link) {
  switch (link) {
    case GST_PAD_LINK_OK: return S_OK;
    case GST_PAD_LINK_WRONG_HIERARCHY: return VFW_E_NOT_IN_GRAPH;
    case GST_PAD_LINK_WAS_LINKED: return VFW_E_ALREADY_CONNECTED;
    case GST_PAD_LINK_WRONG_DIRECTION: return VFW_E_INVALID_DIRECTION;
    case GST_PAD_LINK_NOFORMAT: return VFW_E_NO_ACCEPTABLE_TYPES;
    default: return VFW_E_CANNOT_CONNECT;
  }
}

bool Stopped(const std::shared_ptr<GstFilter>& filter) {
  return !filter || GST_STATE(filter->Bin()) <= GST_STATE_READY;
}

}  // namespace

GstPin::GstPin(std::shared_ptr<GstFilterLink> owner, PadRef pad, std::u16string name, PIN_DIRECTION direction,
               std::optional<GUID> category)
    : owner_(std::move(owner)),
      pad_(std::move(pad)),
      name_(std::move(name)),
      direction_(direction),
      category_(std::move(category)) {}

void GstPin::Attach() {
  g_object_set_qdata_full(G_OBJECT(pad_.get()), PinQuark(), new std::weak_ptr<IUnknown>(weak_from_this()),
                          [](gpointer p) { delete static_cast<std::weak_ptr<IUnknown>*>(p); });
}

std::shared_ptr<GstPin> GstPin::FromPad(GstPad* pad) {
  if (!pad) return nullptr;
  const auto* weak = static_cast<const std::weak_ptr<IUnknown>*>(g_object_get_qdata(G_OBJECT(pad), PinQuark()));
  return weak ? std::dynamic_pointer_cast<GstPin>(weak->lock()) : nullptr;
}

std::shared_ptr<GstFilter> GstPin::Owner() const {
  if (!owner_->filter) return nullptr;
  return std::dynamic_pointer_cast<GstFilter>(owner_->filter->weak_from_this().lock());
}

bool GstPin::IsConnected() const { return gst_pad_is_linked(pad_.get()); }

std::shared_ptr<GstPin> GstPin::Peer() const {
  const PadRef peer = PadRef::Adopt(gst_pad_get_peer(pad_.get()));
  return FromPad(peer.get());
}

CapsRef GstPin::Formats() const {
  CapsRef caps = CapsRef::Adopt(gst_pad_query_caps(pad_.get(), nullptr));
  return caps ? caps : CapsRef::Adopt(gst_caps_new_any());
}

std::string GstPin::Label() const {
  const auto owner = Owner();
  return (owner ? Utf8(owner->Name()) : std::string("?")) + "." + Utf8(name_);
}

bool GstPin::OwnerStopped() const { return Stopped(Owner()); }

HRESULT GstPin::CheckConnectable(const std::shared_ptr<GstPin>& input, const AM_MEDIA_TYPE* mediaType) const {
  if (direction_ != PINDIR_OUTPUT || input->direction_ != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
  if (IsConnected() || input->IsConnected()) return VFW_E_ALREADY_CONNECTED;
  const auto from = Owner(), to = input->Owner();
  if (!from || !to) return E_UNEXPECTED;
  if (!from->Graph() || from->Graph() != to->Graph()) return VFW_E_NOT_IN_GRAPH;
  if (!Stopped(from) || !Stopped(to)) return VFW_E_NOT_STOPPED;
  if (!mediaType) return S_OK;
  const CapsRef wanted = GstMediaTypes::CapsFromMediaType(*mediaType);
  if (!wanted || !gst_caps_can_intersect(wanted.get(), Formats().get()) ||
      !gst_caps_can_intersect(wanted.get(), input->Formats().get()))
    return VFW_E_TYPE_NOT_ACCEPTED;
  return S_OK;
}

HRESULT GstPin::Connect(const PinPtr& receivePin, const AM_MEDIA_TYPE* mediaType) {
  if (!receivePin) return E_POINTER;
  const auto input = std::dynamic_pointer_cast<GstPin>(receivePin);
  if (!input) return VFW_E_CANNOT_CONNECT;
  HRESULT hr = CheckConnectable(input, mediaType);
  if (SUCCEEDED(hr)) hr = ResultOfLink(gst_pad_link_full(pad_.get(), input->pad_.get(), GST_PAD_LINK_CHECK_DEFAULT));
  if (const auto graph = Owner() ? Owner()->Graph() : nullptr) {
    graph->Log("connect " + Label() + " -> " + input->Label() + " directly: offered " + GstFilterGraph::CapsText(Formats().get()) +
               "; accepted " + GstFilterGraph::CapsText(input->Formats().get()) +
               (SUCCEEDED(hr) ? "; made" : "; refused (" + GstFilterGraph::ResultText(hr) + ")"));
    if (SUCCEEDED(hr)) graph->TopologyChanged();
  }
  return hr;
}

HRESULT GstPin::Disconnect() {
  const PadRef peer = PadRef::Adopt(gst_pad_get_peer(pad_.get()));
  if (!peer) return S_FALSE;
  const auto peerPin = FromPad(peer.get());
  if (!OwnerStopped() || (peerPin && !peerPin->OwnerStopped())) return VFW_E_NOT_STOPPED;
  if (direction_ == PINDIR_OUTPUT) gst_pad_unlink(pad_.get(), peer.get());
  else gst_pad_unlink(peer.get(), pad_.get());
  if (const auto graph = Owner() ? Owner()->Graph() : nullptr) {
    graph->Log("disconnect " + Label() + " from " + (peerPin ? peerPin->Label() : std::string("?")));
    graph->TopologyChanged();
  }
  return S_OK;
}

HRESULT GstPin::ConnectedTo(PinPtr& pin) {
  pin = Peer();
  return pin ? S_OK : VFW_E_NOT_CONNECTED;
}

CapsRef GstPin::ConnectionFormat() const {
  const auto peer = Peer();
  if (!peer) return nullptr;
  CapsRef caps = CapsRef::Adopt(gst_pad_get_current_caps(pad_.get()));
  if (caps) return caps;
  caps = CapsRef::Adopt(gst_caps_intersect(Formats().get(), peer->Formats().get()));
  if (!gst_caps_is_empty(caps.get()) && !gst_caps_is_any(caps.get()))
    caps = CapsRef::Adopt(gst_caps_fixate(caps.release()));
  return caps;
}

HRESULT GstPin::ConnectionMediaType(AM_MEDIA_TYPE& mediaType) {
  mediaType = AM_MEDIA_TYPE{};
  const CapsRef caps = ConnectionFormat();
  if (!caps) return VFW_E_NOT_CONNECTED;
  return GstMediaTypes::MediaTypeFromCaps(caps.get(), mediaType);
}

HRESULT GstPin::QueryPinInfo(PIN_INFO& info) {
  info.pFilter = Owner();
  info.dir = direction_;
  info.achName = name_;
  return owner_->filter ? S_OK : E_UNEXPECTED;
}

HRESULT GstPin::QueryDirection(PIN_DIRECTION& direction) {
  direction = direction_;
  return S_OK;
}

HRESULT GstPin::QueryId(std::u16string& id) {
  id = name_;
  return S_OK;
}

}  // namespace media::gst
