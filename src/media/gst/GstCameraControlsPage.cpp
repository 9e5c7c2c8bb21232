#include "media/gst/GstCameraControlsPage.h"

#include <gst/video/colorbalance.h>

#include <QFormLayout>
#include <QSlider>
#include <QVBoxLayout>

#include "media/framework/Filters.h"
#include "media/gst/GstCaptureFilter.h"

namespace media::gst {
namespace {

QSlider* ChannelSlider(GstColorBalance* balance, GstColorBalanceChannel* channel) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setRange(channel->min_value, channel->max_value);
  slider->setValue(gst_color_balance_get_value(balance, channel));
  slider->setObjectName(QString::fromUtf8(channel->label));
  // The balance keeps its channels for as long as it lives; the filter (and
  // so its balance) outlives the page's widgets.
  QObject::connect(slider, &QSlider::valueChanged, slider,
                   [balance, channel](int value) { gst_color_balance_set_value(balance, channel, value); });
  return slider;
}

// The filter lists this page only for a camera with controls.
void AddControls(QWidget& page, GstColorBalance* balance) {
  auto* form = new QFormLayout(&page);
  for (const GList* item = balance ? gst_color_balance_list_channels(balance) : nullptr; item; item = item->next) {
    auto* channel = GST_COLOR_BALANCE_CHANNEL(item->data);
    form->addRow(QString::fromUtf8(channel->label), ChannelSlider(balance, channel));
  }
}

}  // namespace

HRESULT GstCameraControlsPage::SetObjects(const std::vector<UnknownPtr>& objects) {
  filter_.reset();
  for (const auto& object : objects)
    if ((filter_ = std::dynamic_pointer_cast<GstCaptureFilter>(Query<IBaseFilter>(object)))) return S_OK;
  return objects.empty() ? S_OK : E_NOINTERFACE;
}

HRESULT GstCameraControlsPage::GetPageInfo(PROPPAGEINFO& info) {
  info.pszTitle = u"视频调节";
  info.size = SIZE{360, 240};
  return S_OK;
}

GstCameraControlsPage::Values GstCameraControlsPage::CurrentValues() const {
  Values values;
  GstColorBalance* balance = filter_ ? filter_->Balance() : nullptr;
  for (const GList* item = balance ? gst_color_balance_list_channels(balance) : nullptr; item; item = item->next) {
    auto* channel = GST_COLOR_BALANCE_CHANNEL(item->data);
    values.emplace_back(channel, gst_color_balance_get_value(balance, channel));
  }
  return values;
}

HRESULT GstCameraControlsPage::Activate(OAHWND parent, const RECT&, bool) {
  if (!filter_) return E_UNEXPECTED;
  Deactivate();
  kept_ = CurrentValues();
  widget_ = new QWidget(parent);
  AddControls(*widget_, filter_->Balance());
  if (parent) {
    auto* layout = parent->layout() ? parent->layout() : new QVBoxLayout(parent);
    layout->addWidget(widget_);
  }
  return S_OK;
}

HRESULT GstCameraControlsPage::Apply() {
  kept_ = CurrentValues();
  return S_OK;
}

HRESULT GstCameraControlsPage::Deactivate() {
  // The widgets first: a slider must not answer the values put back.
  delete widget_.data();
  widget_.clear();
  GstColorBalance* balance = filter_ ? filter_->Balance() : nullptr;
  for (const auto& [channel, value] : kept_)
    if (gst_color_balance_get_value(balance, channel) != value) gst_color_balance_set_value(balance, channel, value);
  kept_.clear();
  return S_OK;
}

}  // namespace media::gst
