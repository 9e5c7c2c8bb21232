#pragma once
// Video renderer interfaces: the renderer window, the mixing renderer's
// configuration, windowless drawing, aspect ratio and the mixer bitmap.
#include <string>

#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media {

// Window styles the renderer window accepts through put_WindowStyle(Ex).
inline constexpr LONG WS_CHILD = 0x40000000;
inline constexpr LONG WS_CLIPSIBLINGS = 0x04000000;
inline constexpr LONG WS_CAPTION = 0x00C00000;
inline constexpr LONG WS_THICKFRAME = 0x00040000;
inline constexpr LONG WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr LONG WS_EX_TOPMOST = 0x00000008;
inline constexpr LONG WS_EX_WINDOWEDGE = 0x00000100;
inline constexpr LONG WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr LONG WS_EX_STATICEDGE = 0x00020000;

// The renderer's own window (windowed mode). Without an owner it is a top-level
// window; with one it is placed in the owner's coordinates as the owner's child.
class IVideoWindow : public virtual IUnknown {
 public:
  virtual HRESULT put_Caption(const std::u16string& caption) = 0;
  virtual HRESULT get_Caption(std::u16string& caption) = 0;
  virtual HRESULT put_WindowStyle(LONG style) = 0;
  virtual HRESULT get_WindowStyle(LONG& style) = 0;
  virtual HRESULT put_WindowStyleEx(LONG style) = 0;
  virtual HRESULT get_WindowStyleEx(LONG& style) = 0;
  virtual HRESULT put_AutoShow(LONG autoShow) = 0;
  virtual HRESULT put_Visible(LONG visible) = 0;  // OATRUE / OAFALSE
  virtual HRESULT get_Visible(LONG& visible) = 0;
  virtual HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) = 0;
  virtual HRESULT GetWindowPosition(LONG& left, LONG& top, LONG& width, LONG& height) = 0;
  virtual HRESULT put_Owner(OAHWND owner) = 0;
  virtual HRESULT get_Owner(OAHWND& owner) = 0;
  // Mouse and keyboard input on the video window is forwarded to drain.
  virtual HRESULT put_MessageDrain(OAHWND drain) = 0;
  virtual HRESULT get_MessageDrain(OAHWND& drain) = 0;
};

inline constexpr DWORD VMR9Mode_Windowed = 1;
inline constexpr DWORD VMR9Mode_Windowless = 2;
inline constexpr DWORD VMR9Mode_Renderless = 4;

inline constexpr DWORD RenderPrefs9_DoNotRenderBorder = 1;

class IVMRFilterConfig9 : public virtual IUnknown {
 public:
  // 1 to 16 streams; more than one loads the mixer.
  virtual HRESULT SetNumberOfStreams(DWORD streams) = 0;
  virtual HRESULT GetNumberOfStreams(DWORD& streams) = 0;
  virtual HRESULT SetRenderingPrefs(DWORD prefs) = 0;
  virtual HRESULT GetRenderingPrefs(DWORD& prefs) = 0;
  virtual HRESULT SetRenderingMode(DWORD mode) = 0;
  virtual HRESULT GetRenderingMode(DWORD& mode) = 0;
};

inline constexpr DWORD VMR9ARMode_None = 0;
inline constexpr DWORD VMR9ARMode_LetterBox = 1;

class IVMRWindowlessControl9 : public virtual IUnknown {
 public:
  virtual HRESULT GetNativeVideoSize(LONG& width, LONG& height, LONG& arWidth, LONG& arHeight) = 0;
  // source nil: the whole picture.
  virtual HRESULT SetVideoPosition(const RECT* source, const RECT* destination) = 0;
  virtual HRESULT GetVideoPosition(RECT& source, RECT& destination) = 0;
  virtual HRESULT SetVideoClippingWindow(OAHWND window) = 0;
  virtual HRESULT RepaintVideo(OAHWND window) = 0;
  virtual HRESULT SetAspectRatioMode(DWORD mode) = 0;
  virtual HRESULT GetAspectRatioMode(DWORD& mode) = 0;
  virtual HRESULT SetBorderColor(COLORREF color) = 0;
};

class IVMRAspectRatioControl9 : public virtual IUnknown {
 public:
  virtual HRESULT GetAspectRatioMode(DWORD& mode) = 0;
  virtual HRESULT SetAspectRatioMode(DWORD mode) = 0;
};

inline constexpr DWORD VMR9AlphaBitmap_Disable = 1;
inline constexpr DWORD VMR9AlphaBitmap_hDC = 2;
inline constexpr DWORD VMR9AlphaBitmap_EntireDDS = 4;
inline constexpr DWORD VMR9AlphaBitmap_SrcColorKey = 8;
inline constexpr DWORD VMR9AlphaBitmap_SrcRect = 16;
inline constexpr DWORD VMR9AlphaBitmap_FilterMode = 32;

// The picture the mixer blends over every frame: rSrc of the drawing
// context's picture (with VMR9AlphaBitmap_SrcRect, else all of it) into rDest
// of the video, with fAlpha, skipping clrSrcKey pixels when
// VMR9AlphaBitmap_SrcColorKey is set.
struct VMR9AlphaBitmap {
  DWORD dwFlags = 0;
  HDC hdc = nullptr;
  void* pDDS = nullptr;  // no surfaces on this platform; always nil
  RECT rSrc;
  NORMALIZEDRECT rDest;
  float fAlpha = 0;
  COLORREF clrSrcKey = 0;
  DWORD dwFilterMode = 0;
};

class IVMRMixerBitmap9 : public virtual IUnknown {
 public:
  // Takes a copy of the picture: later drawing shows only at the next call.
  virtual HRESULT SetAlphaBitmap(const VMR9AlphaBitmap& bitmap) = 0;
  // New placement, alpha and key for the picture already given.
  virtual HRESULT UpdateAlphaBitmapParameters(const VMR9AlphaBitmap& bitmap) = 0;
  virtual HRESULT GetAlphaBitmapParameters(VMR9AlphaBitmap& bitmap) = 0;
};

}  // namespace media
