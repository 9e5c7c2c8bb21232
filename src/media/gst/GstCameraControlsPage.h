#pragma once
#include <QPointer>
#include <memory>

#include "media/framework/PropertyPages.h"

class QWidget;

namespace media::gst {

class GstCaptureFilter;

// The property page of a capture filter: one slider per picture control the
// camera offers through its colour balance (brightness, contrast,
// saturation, hue and whatever else the device lists). A change takes effect
// at once on the live picture; Apply has nothing left to do. A camera
// without controls gets a page that says so. User-interface thread.
class GstCameraControlsPage : public IPropertyPage {
 public:
  ~GstCameraControlsPage() override { Deactivate(); }

  // The first capture filter among the objects; E_NOINTERFACE when none is.
  HRESULT SetObjects(const std::vector<UnknownPtr>& objects) override;
  HRESULT GetPageInfo(PROPPAGEINFO& info) override;
  HRESULT Activate(OAHWND parent, const RECT& rect, bool modal) override;
  HRESULT Deactivate() override;
  HRESULT Apply() override { return S_OK; }

 private:
  std::shared_ptr<GstCaptureFilter> filter_;
  QPointer<QWidget> widget_;
};

}  // namespace media::gst
