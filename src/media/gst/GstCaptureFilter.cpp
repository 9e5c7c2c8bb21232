#include "media/gst/GstCaptureFilter.h"

#include <gst/video/colorbalance.h>

#include "media/framework/Identifiers.h"
#include "media/gst/GstClassIds.h"

namespace media::gst {
namespace {

// A software balance can only follow a device whose every format is raw
// video (it cannot touch compressed frames).
bool OnlyRawVideo(GstDevice* device) {
  const CapsRef caps = CapsRef::Adopt(gst_device_get_caps(device));
  if (!caps || gst_caps_is_any(caps.get()) || gst_caps_is_empty(caps.get())) return false;
  for (guint i = 0; i < gst_caps_get_size(caps.get()); ++i)
    if (!gst_structure_has_name(gst_caps_get_structure(caps.get(), i), "video/x-raw")) return false;
  return true;
}

}  // namespace

GstCaptureFilter::GstCaptureFilter(std::u16string friendlyName)
    : GstFilter(CLSID_GstCaptureFilter, std::move(friendlyName)) {}

std::shared_ptr<GstCaptureFilter> GstCaptureFilter::Make(GstDevice* device, std::u16string friendlyName) {
  auto filter = std::make_shared<GstCaptureFilter>(std::move(friendlyName));
  return filter->Build(device) ? filter : nullptr;
}

bool GstCaptureFilter::Build(GstDevice* device) {
  source_ = gst_device_create_element(device, nullptr);
  if (!source_) return false;
  gst_bin_add(GST_BIN(Bin()), source_);
  GstElement* last = source_;
  if (!GST_IS_COLOR_BALANCE(source_) && OnlyRawVideo(device)) {
    balance_ = AddElement("videobalance");
    if (balance_ && gst_element_link(source_, balance_)) {
      last = balance_;
    } else if (balance_) {
      gst_bin_remove(GST_BIN(Bin()), balance_);
      balance_ = nullptr;
    }
  }
  const PadRef out = PadRef::Adopt(gst_element_get_static_pad(last, "src"));
  if (!out) return false;
  AddPin(u"Capture", PINDIR_OUTPUT, out.get(), PIN_CATEGORY_CAPTURE);
  return true;
}

GstColorBalance* GstCaptureFilter::Balance() const {
  if (GST_IS_COLOR_BALANCE(source_)) return GST_COLOR_BALANCE(source_);
  return balance_ && GST_IS_COLOR_BALANCE(balance_) ? GST_COLOR_BALANCE(balance_) : nullptr;
}

HRESULT GstCaptureFilter::GetPages(std::vector<CLSID>& pages) {
  GstColorBalance* balance = Balance();
  pages.clear();
  if (balance && gst_color_balance_list_channels(balance)) pages.push_back(CLSID_GstCameraControlsPage);
  return S_OK;
}

}  // namespace media::gst
