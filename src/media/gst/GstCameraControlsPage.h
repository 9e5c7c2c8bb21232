#pragma once
#include <QPointer>
#include <memory>
#include <utility>
#include <vector>

#include "media/framework/PropertyPages.h"

class QWidget;
typedef struct _GstColorBalanceChannel GstColorBalanceChannel;

namespace media::gst {

class GstCaptureFilter;

// The property page of a capture filter: one slider per picture control the
// camera offers through its colour balance (brightness, contrast,
// saturation, hue and whatever else the device lists). A change takes effect
// at once on the live picture, so the user sees what the slider does; Apply
// makes the current values the ones the page keeps, and deactivating the
// page (the frame closed by Cancel, Escape or its close button, or after
// OK) puts every control back to the value it kept. User-interface thread.
class GstCameraControlsPage : public IPropertyPage {
 public:
  ~GstCameraControlsPage() override { Deactivate(); }

  // The first capture filter among the objects; E_NOINTERFACE when none is.
  HRESULT SetObjects(const std::vector<UnknownPtr>& objects) override;
  HRESULT GetPageInfo(PROPPAGEINFO& info) override;
  // Takes the controls' values as the kept ones.
  HRESULT Activate(OAHWND parent, const RECT& rect, bool modal) override;
  HRESULT Deactivate() override;
  HRESULT Apply() override;

 private:
  // Each control with its value, in the device's order. The channels belong
  // to the filter's balance, which lives as long as filter_.
  using Values = std::vector<std::pair<GstColorBalanceChannel*, int>>;
  Values CurrentValues() const;

  std::shared_ptr<GstCaptureFilter> filter_;
  QPointer<QWidget> widget_;
  Values kept_;
};

}  // namespace media::gst
