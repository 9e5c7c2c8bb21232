#pragma once
#include <memory>

#include "media/framework/PropertyPages.h"
#include "media/gst/GstFilter.h"

typedef struct _GstColorBalance GstColorBalance;

namespace media::gst {

// A camera as a filter: the element its device makes, with one output pin,
// "Capture" (capture category). Its property page shows the camera's picture
// controls through GStreamer's colour-balance interface: the device
// element's own (v4l2 cameras offer their controls this way) or, for a
// device without one and with raw output, a software balance placed after it,
// which passes frames through untouched while its controls are at their
// defaults.
class GstCaptureFilter : public GstFilter, public ISpecifyPropertyPages {
 public:
  explicit GstCaptureFilter(std::u16string friendlyName);

  // Nil when the device cannot make its element.
  static std::shared_ptr<GstCaptureFilter> Make(GstDevice* device, std::u16string friendlyName);

  // The camera controls page when the camera offers at least one control;
  // none otherwise, so that asking for the pages of a camera without
  // controls shows nothing.
  HRESULT GetPages(std::vector<CLSID>& pages) override;
  bool IsDevice() const override { return true; }

  GstElement* Source() const { return source_; }
  // The element whose colour balance the page adjusts; nil without one.
  GstColorBalance* Balance() const;

 private:
  bool Build(GstDevice* device);

  GstElement* source_ = nullptr;   // owned by the bin
  GstElement* balance_ = nullptr;  // owned by the bin
};

}  // namespace media::gst
