#pragma once
#include <QPointer>
#include <memory>

#include "media/gst/GstMixerBitmap.h"
#include "media/gst/GstVideoRenderer.h"

namespace media::gst {

// The mixing renderer: the video renderer with its configuration, windowless
// drawing, aspect-ratio control and, once loaded, the mixer.
//
// Configuration, before the input is connected (VFW_E_WRONG_STATE after):
//  - rendering mode: windowed (the default; IVideoWindow places the renderer
//    window) or windowless (the renderer draws into the clipping window at
//    the video position, and IVideoWindow answers VFW_E_WRONG_STATE);
//    renderless is not offered (E_NOTIMPL);
//  - SetNumberOfStreams (1 to 16, once) loads the mixer, which then answers
//    IVMRMixerBitmap9 for this filter; without it there is none. The filter
//    keeps one input pin whatever the count.
//  - rendering preferences are kept and reported as given.
// The first frame of every run raises EC_VMR_RENDERDEVICE_SET on the graph:
// the renderer has its display then. Letterboxing (VMR9ARMode_LetterBox)
// keeps the video's aspect ratio with bars of the border colour; none (the
// default) stretches it. User-interface thread, as its base.
class GstMixingRenderer : public GstVideoRenderer,
                          public IVMRFilterConfig9,
                          public IVMRWindowlessControl9,
                          public IVMRAspectRatioControl9 {
 public:
  GstMixingRenderer();

  static std::shared_ptr<GstMixingRenderer> Make();

  HRESULT SetNumberOfStreams(DWORD streams) override;
  // VFW_E_WRONG_STATE while the mixer is not loaded.
  HRESULT GetNumberOfStreams(DWORD& streams) override;
  HRESULT SetRenderingPrefs(DWORD prefs) override;
  HRESULT GetRenderingPrefs(DWORD& prefs) override;
  HRESULT SetRenderingMode(DWORD mode) override;
  HRESULT GetRenderingMode(DWORD& mode) override;

  // Windowless mode only (VFW_E_WRONG_STATE otherwise).
  HRESULT GetNativeVideoSize(LONG& width, LONG& height, LONG& arWidth, LONG& arHeight) override;
  // A nil rectangle leaves that one as it is.
  HRESULT SetVideoPosition(const RECT* source, const RECT* destination) override;
  HRESULT GetVideoPosition(RECT& source, RECT& destination) override;
  HRESULT SetVideoClippingWindow(OAHWND window) override;
  HRESULT RepaintVideo(OAHWND window) override;
  HRESULT SetBorderColor(COLORREF color) override;

  // Both aspect-ratio interfaces, every mode.
  HRESULT SetAspectRatioMode(DWORD mode) override;
  HRESULT GetAspectRatioMode(DWORD& mode) override;

  std::vector<UnknownPtr> QueryDelegates() const override;
  bool MixerLoaded() const { return mixer_ != nullptr; }

 protected:
  bool Windowed() const override { return mode_ == VMR9Mode_Windowed; }
  void Compose(QImage& picture) const override;

 private:
  HRESULT CheckWindowless() const;
  static std::shared_ptr<GstMixerBitmap> NewMixer(std::weak_ptr<IUnknown> owner);

  DWORD mode_ = VMR9Mode_Windowed;
  DWORD streams_ = 0;
  DWORD prefs_ = 0;
  DWORD aspectMode_ = VMR9ARMode_None;
  std::shared_ptr<GstMixerBitmap> mixer_;
  std::optional<RECT> source_;
  RECT destination_;
};

}  // namespace media::gst
