#include "media/gst/GstConnector.h"

#include "media/gst/GstConverterFilter.h"
#include "media/gst/GstFilterGraph.h"

namespace media::gst {
GstConnector::GstConnector(GstFilterGraph& graph) : graph_(graph) {}

GstConnector::~GstConnector() { RollbackTo(0); }

HRESULT GstConnector::AddFilter(const GstFilterPtr& filter, const std::u16string& name) {
  const HRESULT hr = graph_.AddFilter(filter, name);
  if (SUCCEEDED(hr)) steps_.push_back({filter, nullptr});
  return hr;
}

HRESULT GstConnector::Link(const GstPinPtr& out, const GstPinPtr& in) {
  const HRESULT hr = out->Connect(in, nullptr);
  if (SUCCEEDED(hr)) steps_.push_back({nullptr, out});
  return hr;
}

void GstConnector::RollbackTo(std::size_t mark) {
  while (steps_.size() > mark) {
    const Step step = steps_.back();
    steps_.pop_back();
    if (step.out) step.out->Disconnect();
    if (step.added) graph_.RemoveFilter(step.added);
  }
}

HRESULT GstConnector::Connect(const GstPinPtr& out, const GstPinPtr& in) {
  if (out->Direction() != PINDIR_OUTPUT || in->Direction() != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
  if (out->IsConnected() || in->IsConnected()) return VFW_E_ALREADY_CONNECTED;
  const CapsRef offered = out->Formats(), accepted = in->Formats();
  graph_.Log("connect " + out->Label() + " -> " + in->Label() + ": offered " + GstFilterGraph::CapsText(offered.get()) +
             "; accepted " + GstFilterGraph::CapsText(accepted.get()));
  if (gst_caps_is_always_compatible(offered.get(), accepted.get())) {
    const HRESULT hr = Link(out, in);
    if (SUCCEEDED(hr) || hr == VFW_E_NOT_STOPPED || hr == VFW_E_NOT_IN_GRAPH) return hr;
  }
  if (SUCCEEDED(ThroughConverter(out, in, accepted.get()))) return S_OK;
  if (gst_caps_can_intersect(offered.get(), accepted.get()) && SUCCEEDED(Link(out, in))) return S_OK;
  graph_.Log("connect " + out->Label() + " -> " + in->Label() + " refused: no common format");
  return VFW_E_CANNOT_CONNECT;
}

HRESULT GstConnector::ThroughConverter(const GstPinPtr& out, const GstPinPtr& in, const GstCaps* accepted) {
  const CapsRef offered = out->Formats();
  const auto kind = GstConverterFilter::KindFor(offered.get(), accepted);
  if (!kind) return VFW_E_CANNOT_CONNECT;
  const auto converter = GstConverterFilter::Make(*kind);
  if (!converter) return VFW_E_CANNOT_CONNECT;
  const std::size_t mark = Mark();
  HRESULT hr = AddFilter(converter, converter->DefaultName());
  if (SUCCEEDED(hr)) hr = Link(out, converter->Input());
  if (SUCCEEDED(hr) && !gst_caps_can_intersect(converter->Output()->Formats().get(), accepted))
    hr = VFW_E_NO_ACCEPTABLE_TYPES;
  if (SUCCEEDED(hr)) hr = Link(converter->Output(), in);
  if (FAILED(hr)) RollbackTo(mark);
  return hr;
}

}  // namespace media::gst
