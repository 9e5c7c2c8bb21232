#pragma once
#include <QImage>
#include <QPointer>
#include <memory>
#include <optional>

#include "media/framework/Renderers.h"
#include "media/gst/GstFilter.h"
#include "media/gst/GstFrameSlot.h"
#include "media/gst/RendererWindow.h"

namespace media::gst {

// The classic video renderer: one input pin, "Input", taking any raw video,
// and a renderer window (IVideoWindow) that shows it.
//
// Inside its bin frames are scaled, converted to 32-bit RGB and handed to an
// application sink that keeps one frame and drops the older one when the
// next comes before the user-interface thread took it (max-buffers 1, drop),
// so a slow display never holds back the stream. The sink keeps to the
// pipeline clock, which for live cameras means each frame is shown as soon as
// it is due. When the video rectangle of the window is smaller than the
// video, the scaler makes frames of the window's size (less to convert and
// copy than scaling at painting); otherwise frames keep their size and
// painting scales them.
//
// Frames reach the user-interface thread through a GstFrameSlot; the window
// is painted there with the newest one, composed with what a subclass draws
// over it. The window appears with the first frame of each run when AutoShow
// is on (the default). Everything but the streaming side is user-interface
// thread only.
class GstVideoRenderer : public GstFilter, public IVideoWindow {
 public:
  GstVideoRenderer();
  ~GstVideoRenderer() override;

  // Nil when the elements of the bin are not installed.
  static std::shared_ptr<GstVideoRenderer> Make();

  HRESULT put_Caption(const std::u16string& caption) override;
  HRESULT get_Caption(std::u16string& caption) override;
  HRESULT put_WindowStyle(LONG style) override;
  HRESULT get_WindowStyle(LONG& style) override;
  HRESULT put_WindowStyleEx(LONG style) override;
  HRESULT get_WindowStyleEx(LONG& style) override;
  HRESULT put_AutoShow(LONG autoShow) override;
  HRESULT put_Visible(LONG visible) override;
  HRESULT get_Visible(LONG& visible) override;
  HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override;
  HRESULT GetWindowPosition(LONG& left, LONG& top, LONG& width, LONG& height) override;
  HRESULT put_Owner(OAHWND owner) override;
  HRESULT get_Owner(OAHWND& owner) override;
  HRESULT put_MessageDrain(OAHWND drain) override;
  HRESULT get_MessageDrain(OAHWND& drain) override;

  bool IsComplete() const { return complete_; }
  RendererWindow* Window() const { return window_; }
  // The picture last shown: the newest frame with what is drawn over it.
  QImage OutputImage() const;
  // The newest frame as it came from the stream.
  const QImage& LastFrame() const { return frame_; }
  // The video's own size and display aspect, from its input; empty before
  // the first frame.
  QSize NativeSize() const { return native_; }
  QSize NativeAspect() const { return aspect_; }

 protected:
  GstVideoRenderer(const CLSID& clsid, std::u16string name, const std::u16string& pinName, bool announceDevice);

  // Whether the renderer window takes IVideoWindow calls.
  virtual bool Windowed() const { return true; }
  // Draws over a frame before it is shown.
  virtual void Compose(QImage& picture) const { (void)picture; }
  // Shows the newest frame again (what is drawn over it changed).
  void Recompose();
  // Letterboxing of the window and the source rectangle shown.
  void SetLetterbox(bool letterbox);
  void SetSourceRect(std::optional<QRect> source);
  bool InputConnected() const;

 private:
  bool Build(const std::u16string& pinName, bool announceDevice);
  void OnFrame(GstFrameSlot::Frame frame);
  void ReadNativeSize();
  void UpdateScale();
  HRESULT CheckWindowed() const;

  bool complete_ = false;
  GstElement* scale_ = nullptr;   // owned by the bin
  GstElement* filter_ = nullptr;  // the caps filter, owned by the bin
  GstElement* sink_ = nullptr;    // owned by the bin
  std::shared_ptr<GstFrameSlot> slot_;
  QPointer<RendererWindow> window_;
  bool autoShow_ = true;
  QImage frame_;
  CapsRef frameCaps_;  // of frame_, to notice a change of format
  QSize native_;
  QSize aspect_;
  QSize scaledTo_;  // the frame size asked of the scaler; empty: the video's own
  bool letterbox_ = false;
  std::optional<QRect> crop_;  // in the video's own pixels
};

}  // namespace media::gst
