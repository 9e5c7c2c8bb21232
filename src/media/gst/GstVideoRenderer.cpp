#include "media/gst/GstVideoRenderer.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <QThread>
#include <algorithm>

#include "media/framework/EventCodes.h"
#include "media/framework/Identifiers.h"
#include "media/gst/GstMessageTranslator.h"
#include "media/gst/RendererWindow.h"

namespace media::gst {
namespace {

// EC_VMR_RENDERDEVICE_SET's parameter: pictures are drawn from system memory.
constexpr LONG_PTR kRenderDeviceSystemMemory = 0x04;
constexpr const char* kFrameFormat = "BGRx";

// What the streaming threads of one renderer use: the slot and whether the
// first frame of a run announces the render device. Owned by the sink's
// callbacks and the pad probe, each with its own copy.
struct StreamingSide {
  std::shared_ptr<GstFrameSlot> slot;
  bool announceDevice = false;
};

void DeleteSide(gpointer side) { delete static_cast<StreamingSide*>(side); }

GstFlowReturn OnNewSample(GstAppSink* sink, gpointer data) {
  const auto& side = *static_cast<const StreamingSide*>(data);
  SampleRef sample = SampleRef::Adopt(gst_app_sink_pull_sample(sink));
  if (!sample) return GST_FLOW_OK;
  if (side.slot->Put(std::move(sample)) && side.announceDevice) {
    MessageRef message = GstMessageTranslator::NewGraphEventMessage(GST_OBJECT(sink), EC_VMR_RENDERDEVICE_SET,
                                                                     kRenderDeviceSystemMemory, 0);
    gst_element_post_message(GST_ELEMENT(sink), message.release());
  }
  return GST_FLOW_OK;
}

GstPadProbeReturn OnSinkEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_STREAM_START)
    static_cast<StreamingSide*>(data)->slot->BeginRun();
  return GST_PAD_PROBE_OK;
}

// A mapped frame that lives as long as the picture made over its memory.
struct MappedFrame {
  SampleRef sample;
  GstVideoFrame frame{};
  bool mapped = false;
  ~MappedFrame() {
    if (mapped) gst_video_frame_unmap(&frame);
  }
};

QImage PictureOf(SampleRef sample) {
  GstVideoInfo info;
  GstBuffer* buffer = gst_sample_get_buffer(sample.get());
  if (!buffer || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample.get())) ||
      GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_BGRx)
    return {};
  auto owner = std::make_unique<MappedFrame>();
  owner->sample = std::move(sample);
  owner->mapped = gst_video_frame_map(&owner->frame, &info, buffer, GST_MAP_READ);
  if (!owner->mapped) return {};
  const auto* data = static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&owner->frame, 0));
  const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&owner->frame, 0);
  MappedFrame* frame = owner.release();
  return QImage(
      data, GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info), stride, QImage::Format_RGB32,
      [](void* p) { delete static_cast<MappedFrame*>(p); }, frame);
}

CapsRef FrameCaps(QSize size) {
  if (size.isEmpty())
    return CapsRef::Adopt(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, kFrameFormat, nullptr));
  return CapsRef::Adopt(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, kFrameFormat, "width",
                                            G_TYPE_INT, size.width(), "height", G_TYPE_INT, size.height(), nullptr));
}

}  // namespace

GstVideoRenderer::GstVideoRenderer() : GstVideoRenderer(CLSID_VideoRenderer, u"Video Renderer", u"Input", false) {}

GstVideoRenderer::GstVideoRenderer(const CLSID& clsid, std::u16string name, const std::u16string& pinName,
                                   bool announceDevice)
    : GstFilter(clsid, std::move(name)), window_(new RendererWindow) {
  slot_ = GstFrameSlot::Make([this](GstFrameSlot::Frame frame) { OnFrame(std::move(frame)); });
  window_->OnResized = [this] { UpdateScale(); };
  complete_ = Build(pinName, announceDevice);
}

GstVideoRenderer::~GstVideoRenderer() {
  slot_->Close();
  if (!window_) return;
  window_->OnResized = nullptr;
  if (QThread::currentThread() == window_->thread()) delete window_.data();
  else window_->deleteLater();
}

std::shared_ptr<GstVideoRenderer> GstVideoRenderer::Make() {
  auto renderer = std::make_shared<GstVideoRenderer>();
  return renderer->IsComplete() ? renderer : nullptr;
}

bool GstVideoRenderer::Build(const std::u16string& pinName, bool announceDevice) {
  scale_ = AddElement("videoscale");
  GstElement* convert = AddElement("videoconvert");
  filter_ = AddElement("capsfilter");
  sink_ = AddElement("appsink");
  if (!scale_ || !convert || !filter_ || !sink_ || !gst_element_link_many(scale_, convert, filter_, sink_, nullptr))
    return false;
  g_object_set(filter_, "caps", FrameCaps({}).get(), nullptr);
  g_object_set(sink_, "max-buffers", 1u, "drop", TRUE, "sync", TRUE, "enable-last-sample", FALSE, "emit-signals",
               FALSE, nullptr);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = &OnNewSample;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink_), &callbacks, new StreamingSide{slot_, announceDevice}, &DeleteSide);
  const PadRef sinkPad = PadRef::Adopt(gst_element_get_static_pad(sink_, "sink"));
  gst_pad_add_probe(sinkPad.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &OnSinkEvent,
                    new StreamingSide{slot_, announceDevice}, &DeleteSide);
  const PadRef input = PadRef::Adopt(gst_element_get_static_pad(scale_, "sink"));
  AddPin(pinName, PINDIR_INPUT, input.get());
  return true;
}

bool GstVideoRenderer::InputConnected() const {
  const auto pin = PinOf(PINDIR_INPUT);
  return pin && pin->IsConnected();
}

void GstVideoRenderer::OnFrame(GstFrameSlot::Frame frame) {
  GstCaps* caps = gst_sample_get_caps(frame.sample.get());
  if (caps && (!frameCaps_ || !gst_caps_is_equal(caps, frameCaps_.get()))) {
    frameCaps_ = CapsRef::AddRef(caps);
    ReadNativeSize();
  }
  QImage picture = PictureOf(std::move(frame.sample));
  if (picture.isNull()) return;
  frame_ = std::move(picture);
  Recompose();
  if (frame.firstOfRun && autoShow_ && window_) window_->SetShown(true);
}

// The size and aspect of the video as it enters, before the scaler.
void GstVideoRenderer::ReadNativeSize() {
  const auto pin = PinOf(PINDIR_INPUT);
  const CapsRef caps = pin ? CapsRef::Adopt(gst_pad_get_current_caps(pin->Pad())) : CapsRef();
  GstVideoInfo info;
  if (!caps || !gst_video_info_from_caps(&info, caps.get())) return;
  const QSize incoming(GST_VIDEO_INFO_WIDTH(&info), GST_VIDEO_INFO_HEIGHT(&info));
  // A scaler upstream answers our own request with it: that is not the
  // video's size, and taking it as such would flip the request every frame.
  if (!native_.isEmpty() && !scaledTo_.isEmpty() && incoming == scaledTo_) return;
  native_ = incoming;
  const int parN = std::max(1, GST_VIDEO_INFO_PAR_N(&info)), parD = std::max(1, GST_VIDEO_INFO_PAR_D(&info));
  aspect_ = QSize(native_.width() * parN, native_.height() * parD);
  if (window_) window_->SetLetterbox(letterbox_, aspect_);
  UpdateScale();
}

void GstVideoRenderer::Recompose() {
  if (frame_.isNull() || !window_) return;
  QImage picture = frame_;
  Compose(picture);
  std::optional<QRect> source;
  if (crop_ && !native_.isEmpty()) {
    const QRect& c = *crop_;
    const double sx = double(picture.width()) / native_.width(), sy = double(picture.height()) / native_.height();
    source = QRect(qRound(c.x() * sx), qRound(c.y() * sy), qRound(c.width() * sx), qRound(c.height() * sy));
  }
  window_->SetSourceRect(source);
  window_->SetPicture(std::move(picture));
}

QImage GstVideoRenderer::OutputImage() const { return window_ ? window_->Picture() : QImage(); }

void GstVideoRenderer::SetLetterbox(bool letterbox) {
  letterbox_ = letterbox;
  if (window_) window_->SetLetterbox(letterbox_, aspect_);
}

void GstVideoRenderer::SetSourceRect(std::optional<QRect> source) {
  crop_ = source;
  UpdateScale();
  Recompose();
}

// Frames are made smaller in the pipeline only: scaling up there would only
// add to what is converted and copied. The size asked for is the area's
// exactly (BGRx takes any size): a picture a pixel off would make the window
// scale every frame once more.
void GstVideoRenderer::UpdateScale() {
  if (!filter_ || !window_ || native_.isEmpty()) return;
  QSize want;
  const QSize area = window_->VideoRect().size() * window_->devicePixelRatioF();
  if (!crop_ && !area.isEmpty() && qint64(area.width()) * area.height() < qint64(native_.width()) * native_.height())
    want = area;
  if (want == scaledTo_) return;
  scaledTo_ = want;
  g_object_set(filter_, "caps", FrameCaps(want).get(), nullptr);
}

HRESULT GstVideoRenderer::CheckWindowed() const {
  if (!window_) return E_UNEXPECTED;
  return Windowed() ? S_OK : VFW_E_WRONG_STATE;
}

HRESULT GstVideoRenderer::put_Caption(const std::u16string& caption) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  window_->setWindowTitle(QString::fromStdU16String(caption));
  return S_OK;
}

HRESULT GstVideoRenderer::get_Caption(std::u16string& caption) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  caption = window_->windowTitle().toStdU16String();
  return S_OK;
}

HRESULT GstVideoRenderer::put_WindowStyle(LONG style) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  window_->SetStyles(style, window_->ExStyle());
  return S_OK;
}

HRESULT GstVideoRenderer::get_WindowStyle(LONG& style) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  style = window_->Style();
  return S_OK;
}

HRESULT GstVideoRenderer::put_WindowStyleEx(LONG style) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  window_->SetStyles(window_->Style(), style);
  return S_OK;
}

HRESULT GstVideoRenderer::get_WindowStyleEx(LONG& style) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  style = window_->ExStyle();
  return S_OK;
}

HRESULT GstVideoRenderer::put_AutoShow(LONG autoShow) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  autoShow_ = autoShow != OAFALSE;
  return S_OK;
}

HRESULT GstVideoRenderer::put_Visible(LONG visible) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  window_->SetShown(visible != OAFALSE);
  return S_OK;
}

HRESULT GstVideoRenderer::get_Visible(LONG& visible) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  visible = window_->Shown() ? OATRUE : OAFALSE;
  return S_OK;
}

HRESULT GstVideoRenderer::SetWindowPosition(LONG left, LONG top, LONG width, LONG height) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  if (width < 0 || height < 0) return E_INVALIDARG;
  window_->SetPosition(QRect(left, top, width, height));
  return S_OK;
}

HRESULT GstVideoRenderer::GetWindowPosition(LONG& left, LONG& top, LONG& width, LONG& height) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  const QRect position = window_->Position();
  left = position.x();
  top = position.y();
  width = position.width();
  height = position.height();
  return S_OK;
}

HRESULT GstVideoRenderer::put_Owner(OAHWND owner) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  window_->SetOwner(owner);
  return S_OK;
}

HRESULT GstVideoRenderer::get_Owner(OAHWND& owner) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  owner = window_->Owner();
  return S_OK;
}

HRESULT GstVideoRenderer::put_MessageDrain(OAHWND drain) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  window_->SetDrain(drain);
  return S_OK;
}

HRESULT GstVideoRenderer::get_MessageDrain(OAHWND& drain) {
  if (const HRESULT hr = CheckWindowed(); FAILED(hr)) return hr;
  drain = window_->Drain();
  return S_OK;
}

}  // namespace media::gst
