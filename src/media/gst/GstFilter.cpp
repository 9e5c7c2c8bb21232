#include "media/gst/GstFilter.h"

#include "media/gst/GstEnumSnapshot.h"
#include "media/gst/GstFilterGraph.h"
#include "media/gst/GstText.h"

namespace media::gst {
namespace {

// What a bin tells a streaming thread about its filter without touching the
// filter object: set once when the filter first joins a graph, immutable.
struct BinTag {
  std::weak_ptr<IUnknown> filter;
  bool isDevice = false;
};

GQuark BinTagQuark() {
  static const GQuark quark = g_quark_from_static_string("quadrovia-filter");
  return quark;
}

const BinTag* TagOf(GstElement* bin) {
  return bin ? static_cast<const BinTag*>(g_object_get_qdata(G_OBJECT(bin), BinTagQuark())) : nullptr;
}


FILTER_STATE FilterStateOf(GstState state) {
  switch (state) {
    case GST_STATE_PLAYING: return State_Running;
    case GST_STATE_PAUSED: return State_Paused;
    default: return State_Stopped;
  }
}

HRESULT ResultOfChange(GstStateChangeReturn change) {
  return change == GST_STATE_CHANGE_FAILURE ? E_FAIL : change == GST_STATE_CHANGE_ASYNC ? S_FALSE : S_OK;
}

}  // namespace

GstFilter::GstFilter(const CLSID& clsid, std::u16string defaultName)
    : clsid_(clsid),
      defaultName_(std::move(defaultName)),
      bin_(ElementRef::Adopt(gst_bin_new(nullptr))),
      link_(std::make_shared<GstFilterLink>(GstFilterLink{this})) {}

GstFilter::~GstFilter() {
  link_->filter = nullptr;
  gst_element_set_state(bin_.get(), GST_STATE_NULL);
}

HRESULT GstFilter::GetClassID(CLSID& clsid) {
  clsid = clsid_;
  return S_OK;
}

HRESULT GstFilter::Stop() { return ResultOfChange(gst_element_set_state(bin_.get(), GST_STATE_NULL)); }

HRESULT GstFilter::Pause() { return ResultOfChange(gst_element_set_state(bin_.get(), GST_STATE_PAUSED)); }

HRESULT GstFilter::Run(REFERENCE_TIME) {
  if (GST_OBJECT_PARENT(bin_.get()) && gst_element_sync_state_with_parent(bin_.get())) return S_OK;
  return ResultOfChange(gst_element_set_state(bin_.get(), GST_STATE_PLAYING));
}

HRESULT GstFilter::GetState(DWORD timeoutMs, FILTER_STATE& state) {
  GstState current = GST_STATE_NULL;
  const GstStateChangeReturn change =
      gst_element_get_state(bin_.get(), &current, nullptr, static_cast<GstClockTime>(timeoutMs) * GST_MSECOND);
  state = FilterStateOf(current);
  if (change == GST_STATE_CHANGE_FAILURE) return E_FAIL;
  return change == GST_STATE_CHANGE_ASYNC ? VFW_S_STATE_INTERMEDIATE : S_OK;
}

HRESULT GstFilter::EnumPins(std::shared_ptr<IEnumPins>& pins) {
  pins = std::make_shared<GstEnumSnapshot<IEnumPins, PinPtr>>(std::vector<PinPtr>(pins_.begin(), pins_.end()));
  return S_OK;
}

HRESULT GstFilter::FindPin(const std::u16string& id, PinPtr& pin) {
  pin.reset();
  for (const auto& p : pins_)
    if (p->Name() == id) {
      pin = p;
      return S_OK;
    }
  return VFW_E_NOT_FOUND;
}

HRESULT GstFilter::QueryFilterInfo(FILTER_INFO& info) {
  info.achName = nameInGraph_;
  info.pGraph = graph_.lock();
  return S_OK;
}

HRESULT GstFilter::JoinFilterGraph(const std::shared_ptr<IFilterGraph>& graph, const std::u16string& name) {
  graph_ = graph;
  gstGraph_ = std::dynamic_pointer_cast<GstFilterGraph>(graph);
  nameInGraph_ = graph ? name : std::u16string();
  if (graph && !g_object_get_qdata(G_OBJECT(bin_.get()), BinTagQuark()))
    g_object_set_qdata_full(G_OBJECT(bin_.get()), BinTagQuark(), new BinTag{weak_from_this(), IsDevice()},
                            [](gpointer tag) { delete static_cast<BinTag*>(tag); });
  return S_OK;
}

GstPinPtr GstFilter::PinOf(PIN_DIRECTION direction, const std::optional<GUID>& category) const {
  for (const auto& pin : pins_)
    if (pin->Direction() == direction && (!category || pin->Category() == category)) return pin;
  return nullptr;
}

std::u16string GstFilter::Name() const { return nameInGraph_.empty() ? defaultName_ : nameInGraph_; }

std::shared_ptr<GstFilter> GstFilter::FromBin(GstElement* bin) {
  const BinTag* tag = TagOf(bin);
  return tag ? std::dynamic_pointer_cast<GstFilter>(tag->filter.lock()) : nullptr;
}

bool GstFilter::IsDeviceBin(GstElement* bin) {
  const BinTag* tag = TagOf(bin);
  return tag && tag->isDevice;
}

GstPinPtr GstFilter::AddPin(const std::u16string& name, PIN_DIRECTION direction, GstPad* target,
                            std::optional<GUID> category) {
  const std::string padName = Utf8(name);
  GstPad* ghost = target ? gst_ghost_pad_new(padName.c_str(), target)
                         : gst_ghost_pad_new_no_target(padName.c_str(), direction == PINDIR_OUTPUT ? GST_PAD_SRC
                                                                                                   : GST_PAD_SINK);
  PadRef pad = PadRef::Adopt(ghost);
  gst_element_add_pad(bin_.get(), pad.get());
  auto pin = std::make_shared<GstPin>(link_, std::move(pad), name, direction, std::move(category));
  pin->Attach();
  pins_.push_back(pin);
  return pin;
}

GstElement* GstFilter::AddElement(const char* factory, const char* name) {
  GstElement* element = gst_element_factory_make(factory, name);
  if (element) gst_bin_add(GST_BIN(bin_.get()), element);
  return element;
}

}  // namespace media::gst
