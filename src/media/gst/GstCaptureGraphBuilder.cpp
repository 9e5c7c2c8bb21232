#include "media/gst/GstCaptureGraphBuilder.h"

#include "media/framework/Identifiers.h"
#include "media/gst/GstConnector.h"
#include "media/gst/GstFilterGraph.h"
#include "media/gst/GstMediaTypes.h"
#include "media/gst/GstSmartTee.h"

namespace media::gst {
namespace {

bool OfMedia(const GstPin& pin, const GUID* mediaType) {
  if (!mediaType) return true;
  const CapsRef formats = pin.Formats();
  return gst_caps_is_any(formats.get()) || GstMediaTypes::MajorTypeOfCaps(formats.get()) == *mediaType;
}

// Pins of `filter` in `direction`, of the category when one is given.
std::vector<GstPinPtr> PinsOf(const GstFilter& filter, PIN_DIRECTION direction, const GUID* category,
                              const GUID* mediaType, bool unconnected) {
  std::vector<GstPinPtr> pins;
  for (const auto& pin : filter.Pins()) {
    if (pin->Direction() != direction || (category && pin->Category() != *category)) continue;
    if ((unconnected && pin->IsConnected()) || !OfMedia(*pin, mediaType)) continue;
    pins.push_back(pin);
  }
  return pins;
}

std::shared_ptr<GstSmartTee> TeeBehind(const GstPinPtr& pin) {
  const auto peer = pin ? pin->Peer() : nullptr;
  return peer ? std::dynamic_pointer_cast<GstSmartTee>(peer->Owner()) : nullptr;
}

}  // namespace

HRESULT GstCaptureGraphBuilder::SetFiltergraph(const std::shared_ptr<IGraphBuilder>& graph) {
  if (!graph) return E_POINTER;
  if (graph_) return E_UNEXPECTED;
  auto ours = std::dynamic_pointer_cast<GstFilterGraph>(graph);
  if (!ours) return E_NOINTERFACE;
  graph_ = graph;
  gstGraph_ = std::move(ours);
  return S_OK;
}

HRESULT GstCaptureGraphBuilder::GetFiltergraph(std::shared_ptr<IGraphBuilder>& graph) {
  graph = graph_;
  return graph ? S_OK : E_UNEXPECTED;
}

GstFilterPtr GstCaptureGraphBuilder::InGraph(const UnknownPtr& object) const {
  const auto filter = std::dynamic_pointer_cast<GstFilter>(Query<IBaseFilter>(object));
  return filter && gstGraph_->Contains(*filter) ? filter : nullptr;
}

HRESULT GstCaptureGraphBuilder::RenderStream(const GUID* category, const GUID* mediaType, const UnknownPtr& source,
                                             const BaseFilterPtr& intermediate, const BaseFilterPtr& sink) {
  if (!source || !sink) return E_INVALIDARG;
  if (!gstGraph_) return E_UNEXPECTED;
  const GstFilterPtr sinkFilter = InGraph(sink);
  const GstFilterPtr middle = intermediate ? InGraph(intermediate) : nullptr;
  if (!sinkFilter || (intermediate && !middle)) return VFW_E_NOT_IN_GRAPH;
  GstConnector build(*gstGraph_);
  GstPinPtr out;
  const HRESULT found = SourcePin(build, category, mediaType, source, out);
  if (FAILED(found)) return found;
  if (middle) {
    HRESULT hr = ConnectToFilter(build, out, *middle, mediaType);
    if (FAILED(hr)) return hr;
    const auto outputs = PinsOf(*middle, PINDIR_OUTPUT, nullptr, nullptr, true);
    if (outputs.empty()) return VFW_E_CANNOT_CONNECT;
    out = outputs.front();
  }
  const HRESULT hr = ConnectToFilter(build, out, *sinkFilter, mediaType);
  if (FAILED(hr)) return hr;
  build.Commit();
  return found;
}

HRESULT GstCaptureGraphBuilder::SourcePin(GstConnector& build, const GUID* category, const GUID* mediaType,
                                          const UnknownPtr& source, GstPinPtr& out) {
  if (auto pin = std::dynamic_pointer_cast<GstPin>(Query<IPin>(source))) {
    if (pin->Direction() != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
    if (!pin->Owner() || !gstGraph_->Contains(*pin->Owner())) return VFW_E_NOT_IN_GRAPH;
    out = std::move(pin);
    return S_OK;
  }
  const GstFilterPtr filter = InGraph(source);
  if (!filter) return Query<IBaseFilter>(source) ? VFW_E_NOT_IN_GRAPH : E_INVALIDARG;
  const bool splittable = category && (*category == PIN_CATEGORY_PREVIEW || *category == PIN_CATEGORY_CAPTURE) &&
                          !filter->PinOf(PINDIR_OUTPUT, PIN_CATEGORY_PREVIEW);
  if (splittable) return SplitCapture(build, *filter, *category, out);
  const auto own = PinsOf(*filter, PINDIR_OUTPUT, category, mediaType, true);
  if (own.empty()) return E_FAIL;
  out = own.front();
  return S_OK;
}

// A source without a preview output: both categories come off a smart tee
// on its capture output, made at the first render and reused afterwards.
HRESULT GstCaptureGraphBuilder::SplitCapture(GstConnector& build, const GstFilter& source, const GUID& category,
                                             GstPinPtr& out) {
  const GstPinPtr capture = source.PinOf(PINDIR_OUTPUT, PIN_CATEGORY_CAPTURE);
  if (!capture) return E_FAIL;
  auto tee = TeeBehind(capture);
  if (!tee) {
    if (capture->IsConnected()) return VFW_E_ALREADY_CONNECTED;
    tee = GstSmartTee::Make();
    if (!tee) return REGDB_E_CLASSNOTREG;
    HRESULT hr = build.AddFilter(tee, tee->DefaultName());
    if (SUCCEEDED(hr)) hr = build.Link(capture, tee->Input());
    if (FAILED(hr)) return hr;
  }
  const bool preview = category == PIN_CATEGORY_PREVIEW;
  out = preview ? tee->Preview() : tee->Capture();
  if (out->IsConnected()) return VFW_E_ALREADY_CONNECTED;
  return preview ? VFW_S_NOPREVIEWPIN : S_OK;
}

HRESULT GstCaptureGraphBuilder::ConnectToFilter(GstConnector& build, const GstPinPtr& out, const GstFilter& filter,
                                                const GUID* mediaType) {
  const auto inputs = PinsOf(filter, PINDIR_INPUT, nullptr, mediaType, true);
  HRESULT hr = VFW_E_CANNOT_CONNECT;
  for (const auto& in : inputs) {
    hr = build.Connect(out, in);
    if (SUCCEEDED(hr) || hr == VFW_E_NOT_STOPPED) return hr;
  }
  return hr == VFW_E_NOT_STOPPED ? hr : VFW_E_CANNOT_CONNECT;
}

HRESULT GstCaptureGraphBuilder::FindPin(const UnknownPtr& source, PIN_DIRECTION direction, const GUID* category,
                                        const GUID* mediaType, bool unconnected, int index, PinPtr& pin) {
  pin.reset();
  if (!source) return E_POINTER;
  if (auto own = std::dynamic_pointer_cast<GstPin>(Query<IPin>(source))) {
    const bool fits = own->Direction() == direction && (!category || own->Category() == *category) &&
                      (!unconnected || !own->IsConnected()) && index == 0;
    if (fits) pin = own;
    return fits ? S_OK : E_FAIL;
  }
  const auto filter = std::dynamic_pointer_cast<GstFilter>(Query<IBaseFilter>(source));
  if (!filter) return E_NOINTERFACE;
  const auto pins = PinsOf(*filter, direction, category, mediaType, unconnected);
  if (index < 0 || static_cast<std::size_t>(index) >= pins.size()) return E_FAIL;
  pin = pins[static_cast<std::size_t>(index)];
  return S_OK;
}

}  // namespace media::gst
