#pragma once
#include <QRect>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "media/fakes/CallLog.h"
#include "media/fakes/FakeFilter.h"
#include "media/framework/ClassFactory.h"
#include "media/framework/Renderers.h"

// A classic renderer: a one-pin filter with a renderer window that only
// remembers what it is told. Calls are logged as "put_Owner parent",
// "SetWindowPosition 0,0,160,120" and so on.
class FakeClassicRenderer : public FakeFilter, public media::IVideoWindow {
 public:
  explicit FakeClassicRenderer(CallLog* log) : FakeFilter("Renderer", 1, log) {}

  QWidget* owner = nullptr;
  QWidget* drain = nullptr;
  media::LONG style = 0, exStyle = 0;
  QRect position;
  bool visible = false;
  std::u16string caption;

  media::HRESULT put_Caption(const std::u16string& text) override;
  media::HRESULT get_Caption(std::u16string& text) override;
  media::HRESULT put_WindowStyle(media::LONG value) override;
  media::HRESULT get_WindowStyle(media::LONG& value) override;
  media::HRESULT put_WindowStyleEx(media::LONG value) override;
  media::HRESULT get_WindowStyleEx(media::LONG& value) override;
  media::HRESULT put_AutoShow(media::LONG) override { return media::S_OK; }
  media::HRESULT put_Visible(media::LONG value) override;
  media::HRESULT get_Visible(media::LONG& value) override;
  media::HRESULT SetWindowPosition(media::LONG left, media::LONG top, media::LONG width, media::LONG height) override;
  media::HRESULT GetWindowPosition(media::LONG& left, media::LONG& top, media::LONG& width,
                                   media::LONG& height) override;
  media::HRESULT put_Owner(media::OAHWND window) override;
  media::HRESULT get_Owner(media::OAHWND& window) override;
  media::HRESULT put_MessageDrain(media::OAHWND window) override;
  media::HRESULT get_MessageDrain(media::OAHWND& window) override;

 protected:
  void Log(const std::string& entry) {
    if (log) log->Add(entry);
  }
};

// A mixing renderer with every interface of one, logging its configuration
// calls. It answers GetNumberOfStreams and GetRenderingPrefs with what it was
// given unless told to answer otherwise.
class FakeMixingRenderer : public FakeClassicRenderer,
                           public media::IVMRFilterConfig9,
                           public media::IVMRWindowlessControl9,
                           public media::IVMRAspectRatioControl9,
                           public media::IVMRMixerBitmap9 {
 public:
  using FakeClassicRenderer::FakeClassicRenderer;

  media::DWORD streams = 0, prefs = 0, mode = 0, aspectMode = 0;
  std::optional<media::DWORD> reportedStreams, reportedPrefs;
  QWidget* clippingWindow = nullptr;
  std::optional<media::RECT> destination;
  std::vector<media::VMR9AlphaBitmap> alphaBitmaps, alphaUpdates;

  media::HRESULT SetNumberOfStreams(media::DWORD value) override;
  media::HRESULT GetNumberOfStreams(media::DWORD& value) override;
  media::HRESULT SetRenderingPrefs(media::DWORD value) override;
  media::HRESULT GetRenderingPrefs(media::DWORD& value) override;
  media::HRESULT SetRenderingMode(media::DWORD value) override;
  media::HRESULT GetRenderingMode(media::DWORD& value) override;

  media::HRESULT GetNativeVideoSize(media::LONG& w, media::LONG& h, media::LONG& arW, media::LONG& arH) override;
  media::HRESULT SetVideoPosition(const media::RECT* source, const media::RECT* target) override;
  media::HRESULT GetVideoPosition(media::RECT& source, media::RECT& target) override;
  media::HRESULT SetVideoClippingWindow(media::OAHWND window) override;
  media::HRESULT RepaintVideo(media::OAHWND) override { return media::S_OK; }
  media::HRESULT SetAspectRatioMode(media::DWORD value) override;
  media::HRESULT GetAspectRatioMode(media::DWORD& value) override;
  media::HRESULT SetBorderColor(media::COLORREF) override { return media::S_OK; }

  media::HRESULT SetAlphaBitmap(const media::VMR9AlphaBitmap& bitmap) override;
  media::HRESULT UpdateAlphaBitmapParameters(const media::VMR9AlphaBitmap& bitmap) override;
  media::HRESULT GetAlphaBitmapParameters(media::VMR9AlphaBitmap& bitmap) override;
};

// Puts fake renderers in the place of both renderer classes for its lifetime
// and keeps every one made; without `mixingAvailable` the mixing renderer's
// class is not registered at all. Restores what was registered before.
class FakeRenderers {
 public:
  explicit FakeRenderers(CallLog* log, bool mixingAvailable = true);
  ~FakeRenderers();
  FakeRenderers(const FakeRenderers&) = delete;
  FakeRenderers& operator=(const FakeRenderers&) = delete;

  std::vector<std::shared_ptr<FakeClassicRenderer>> classic;
  std::vector<std::shared_ptr<FakeMixingRenderer>> mixing;
  // Runs on each new mixing renderer (to set what it will answer).
  std::function<void(FakeMixingRenderer&)> onMake;

 private:
  media::ClassFactory::Maker previousClassic_, previousMixing_;
};
