#include "media/gst/GstMixingRenderer.h"

#include "media/framework/Identifiers.h"
#include "media/gdi/Gdi.h"
#include "media/gst/RendererWindow.h"

namespace media::gst {
namespace {

constexpr DWORD kMaxStreams = 16;

QRect RectOf(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

bool Valid(const RECT& r) { return r.right >= r.left && r.bottom >= r.top; }

}  // namespace

// The mixer may be held after the renderer is gone: it must not call into a
// dead renderer.
std::shared_ptr<GstMixerBitmap> GstMixingRenderer::NewMixer(std::weak_ptr<IUnknown> owner) {
  return std::make_shared<GstMixerBitmap>([owner] {
    if (auto self = std::dynamic_pointer_cast<GstMixingRenderer>(owner.lock())) self->Recompose();
  });
}

GstMixingRenderer::GstMixingRenderer()
    : GstVideoRenderer(CLSID_VideoMixingRenderer9, u"Video Mixing Renderer 9", u"VMR Input0", true) {}

std::shared_ptr<GstMixingRenderer> GstMixingRenderer::Make() {
  auto renderer = std::make_shared<GstMixingRenderer>();
  return renderer->IsComplete() ? renderer : nullptr;
}

std::vector<UnknownPtr> GstMixingRenderer::QueryDelegates() const {
  if (!mixer_) return {};
  return {mixer_};
}

HRESULT GstMixingRenderer::SetNumberOfStreams(DWORD streams) {
  if (streams < 1 || streams > kMaxStreams) return E_INVALIDARG;
  if (mixer_ || InputConnected()) return VFW_E_WRONG_STATE;
  streams_ = streams;
  mixer_ = NewMixer(weak_from_this());
  return S_OK;
}

HRESULT GstMixingRenderer::GetNumberOfStreams(DWORD& streams) {
  streams = streams_;
  return mixer_ ? S_OK : VFW_E_WRONG_STATE;
}

HRESULT GstMixingRenderer::SetRenderingPrefs(DWORD prefs) {
  prefs_ = prefs;
  return S_OK;
}

HRESULT GstMixingRenderer::GetRenderingPrefs(DWORD& prefs) {
  prefs = prefs_;
  return S_OK;
}

HRESULT GstMixingRenderer::SetRenderingMode(DWORD mode) {
  if (mode == VMR9Mode_Renderless) return E_NOTIMPL;
  if (mode != VMR9Mode_Windowed && mode != VMR9Mode_Windowless) return E_INVALIDARG;
  if (InputConnected()) return VFW_E_WRONG_STATE;
  if (mode != mode_ && Window()) {
    Window()->SetShown(false);
    Window()->SetDrain(nullptr);
    Window()->SetInputTransparent(mode == VMR9Mode_Windowless);
  }
  mode_ = mode;
  return S_OK;
}

HRESULT GstMixingRenderer::GetRenderingMode(DWORD& mode) {
  mode = mode_;
  return S_OK;
}

HRESULT GstMixingRenderer::CheckWindowless() const {
  if (!Window()) return E_UNEXPECTED;
  return mode_ == VMR9Mode_Windowless ? S_OK : VFW_E_WRONG_STATE;
}

HRESULT GstMixingRenderer::GetNativeVideoSize(LONG& width, LONG& height, LONG& arWidth, LONG& arHeight) {
  if (const HRESULT hr = CheckWindowless(); FAILED(hr)) return hr;
  width = NativeSize().width();
  height = NativeSize().height();
  arWidth = NativeAspect().width();
  arHeight = NativeAspect().height();
  return S_OK;
}

HRESULT GstMixingRenderer::SetVideoPosition(const RECT* source, const RECT* destination) {
  if (const HRESULT hr = CheckWindowless(); FAILED(hr)) return hr;
  if (!source && !destination) return E_POINTER;
  if ((source && !Valid(*source)) || (destination && !Valid(*destination))) return E_INVALIDARG;
  if (destination) {
    destination_ = *destination;
    Window()->SetPosition(RectOf(destination_));
  }
  if (source) {
    source_ = *source;
    SetSourceRect(RectOf(*source));
  }
  return S_OK;
}

HRESULT GstMixingRenderer::GetVideoPosition(RECT& source, RECT& destination) {
  if (const HRESULT hr = CheckWindowless(); FAILED(hr)) return hr;
  source = source_.value_or(RECT{0, 0, NativeSize().width(), NativeSize().height()});
  destination = destination_;
  return S_OK;
}

HRESULT GstMixingRenderer::SetVideoClippingWindow(OAHWND window) {
  if (const HRESULT hr = CheckWindowless(); FAILED(hr)) return hr;
  if (!window) return E_INVALIDARG;
  RendererWindow* own = Window();
  own->SetInputTransparent(true);
  own->SetOwner(window);
  own->SetStyles(WS_CHILD | WS_CLIPSIBLINGS, 0);
  own->SetPosition(RectOf(destination_));
  own->SetShown(true);
  return S_OK;
}

HRESULT GstMixingRenderer::RepaintVideo(OAHWND) {
  if (const HRESULT hr = CheckWindowless(); FAILED(hr)) return hr;
  Window()->update();
  return S_OK;
}

HRESULT GstMixingRenderer::SetBorderColor(COLORREF color) {
  if (const HRESULT hr = CheckWindowless(); FAILED(hr)) return hr;
  Window()->SetBorderColor(gdi::ColorOf(color));
  return S_OK;
}

HRESULT GstMixingRenderer::SetAspectRatioMode(DWORD mode) {
  if (mode != VMR9ARMode_None && mode != VMR9ARMode_LetterBox) return E_INVALIDARG;
  aspectMode_ = mode;
  SetLetterbox(mode == VMR9ARMode_LetterBox);
  return S_OK;
}

HRESULT GstMixingRenderer::GetAspectRatioMode(DWORD& mode) {
  mode = aspectMode_;
  return S_OK;
}

void GstMixingRenderer::Compose(QImage& picture) const {
  if (mixer_) mixer_->Draw(picture);
}

}  // namespace media::gst
