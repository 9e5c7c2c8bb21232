#pragma once
#include <cstdint>

#include "media/framework/Renderers.h"
#include "media/gdi/Gdi.h"
#include "media/gdi/TBitmap.h"
#include "media/gdi/TCanvas.h"

namespace media {

class TVideoWindow;

enum TOverlayOption : std::uint8_t { ooDisabled = 0, ooColorKey = 1, ooSourceRect = 2 };
// A set of TOverlayOption: element n is bit n.
using TOverlayOptions = std::uint8_t;
constexpr TOverlayOptions OverlayBit(TOverlayOption option) { return TOverlayOptions(1u << option); }

// A picture blended over the video of a video window through its mixing
// renderer. The caller draws on Surface, chooses the part of the picture to
// use, the colour that stays transparent, the place on the video and the
// opacity; ShowOverlay hands a copy to the renderer, so later drawing or
// changes reach it only with the next ShowOverlay or RefreshOverlay.
//
// States: empty (no bitmap attached, Surface unbound) and attached (the
// bitmap lives in a memory drawing context of the overlay; drawing on
// Surface changes it). A window whose renderer has no mixer makes showing do
// nothing. User-interface thread only; the drawing resources belong to it.
class TVMRBitmap {
 public:
  // Raises EAssertionFailed "No valid video Window." without a window.
  explicit TVMRBitmap(TVideoWindow* window);
  ~TVMRBitmap();
  TVMRBitmap(const TVMRBitmap&) = delete;
  TVMRBitmap& operator=(const TVMRBitmap&) = delete;

  // Takes the bitmap's handle into a memory context of the overlay (giving
  // up one attached before); the bitmap object may be freed afterwards.
  // Raises EAssertionFailed "Invalid Bitmap." without one; a bitmap that
  // cannot be taken leaves nothing attached.
  void AttachBitmap(gdi::TBitmap* bitmap);
  // A bitmap of that size and format filled with the colour, attached.
  void MakeBlankBitmap(int width, int height, gdi::TPixelFormat format, COLORREF color);
  void ReleaseBitmap();

  void SetSourceRect(const RECT& rect);
  void SetKeyColor(COLORREF color);
  TOverlayOptions OverlayOptions() const { return options_; }
  void SetOverlayOptions(TOverlayOptions options);

  // Destination in the video's normalised coordinates and opacity; then
  // RefreshOverlay when refresh is true, else ShowOverlay.
  void PlaceOverlay(float left, float top, float right, float bottom, float alpha, bool refresh = false);
  // Hands the overlay to the renderer's mixer (SetAlphaBitmap); nothing
  // without one.
  void ShowOverlay();
  // New placement for the picture the mixer has (UpdateAlphaBitmapParameters);
  // nothing without a mixer.
  void RefreshOverlay();

  gdi::TCanvas& Surface() { return surface_; }
  // The record handed to the renderer.
  const VMR9AlphaBitmap& Overlay() const { return overlay_; }

 private:
  std::shared_ptr<IVMRMixerBitmap9> Mixer() const;

  TVideoWindow& window_;
  gdi::TCanvas surface_;
  VMR9AlphaBitmap overlay_;
  TOverlayOptions options_ = 0;
  gdi::HGDIOBJ previousBitmap_ = 0;
};

}  // namespace media
