#include "media/TVMRBitmap.h"

#include <source_location>
#include <string>

#include "media/RuntimeErrors.h"
#include "media/TVideoWindow.h"

namespace media {
namespace {

void Assert(bool condition, const char* message, std::source_location where = std::source_location::current()) {
  if (condition) return;
  std::string file = where.file_name();
  file = file.substr(file.find_last_of('/') + 1);
  throw EAssertionFailed(std::string(message) + " (" + file + ", line " + std::to_string(where.line()) + ")");
}

TVideoWindow& Checked(TVideoWindow* window) {
  Assert(window != nullptr, "No valid video Window.");
  return *window;
}

}  // namespace

TVMRBitmap::TVMRBitmap(TVideoWindow* window) : window_(Checked(window)) {
  overlay_.fAlpha = 1.0f;
  SetOverlayOptions(0);
}

TVMRBitmap::~TVMRBitmap() { ReleaseBitmap(); }

void TVMRBitmap::AttachBitmap(gdi::TBitmap* bitmap) {
  Assert(bitmap != nullptr, "Invalid Bitmap.");
  ReleaseBitmap();
  const HDC display = gdi::GetDC(&window_);
  if (!display) return;
  const HDC memory = gdi::CreateCompatibleDC(display);
  gdi::ReleaseDC(&window_, display);
  if (!memory) return;
  const gdi::HBITMAP handle = bitmap->Handle();
  gdi::BITMAP description;
  previousBitmap_ = gdi::GetObject(handle, description) ? gdi::SelectObject(memory, handle) : 0;
  if (!previousBitmap_) {
    gdi::DeleteDC(memory);
    return;
  }
  overlay_.hdc = memory;
  surface_.SetHandle(memory);
}

void TVMRBitmap::MakeBlankBitmap(int width, int height, gdi::TPixelFormat format, COLORREF color) {
  gdi::TBitmap bitmap;
  bitmap.SetWidth(width);
  bitmap.SetHeight(height);
  bitmap.SetPixelFormat(format);
  gdi::TCanvas& canvas = bitmap.Canvas();
  canvas.Brush.Color = color;
  if (canvas.Handle()) canvas.FillRect(canvas.ClipRect());
  AttachBitmap(&bitmap);
}

void TVMRBitmap::ReleaseBitmap() {
  surface_.SetHandle(nullptr);
  if (!overlay_.hdc) return;
  gdi::DeleteObject(gdi::SelectObject(overlay_.hdc, previousBitmap_));
  gdi::DeleteDC(overlay_.hdc);
  overlay_.hdc = nullptr;
  previousBitmap_ = 0;
}

void TVMRBitmap::SetSourceRect(const RECT& rect) { overlay_.rSrc = rect; }

void TVMRBitmap::SetKeyColor(COLORREF color) { overlay_.clrSrcKey = color; }

void TVMRBitmap::SetOverlayOptions(TOverlayOptions options) {
  options_ = options;
  overlay_.dwFlags = VMR9AlphaBitmap_hDC;
  if (options & OverlayBit(ooDisabled)) overlay_.dwFlags |= VMR9AlphaBitmap_Disable;
  if (options & OverlayBit(ooColorKey)) overlay_.dwFlags |= VMR9AlphaBitmap_SrcColorKey;
  if (options & OverlayBit(ooSourceRect)) overlay_.dwFlags |= VMR9AlphaBitmap_SrcRect;
}

void TVMRBitmap::PlaceOverlay(float left, float top, float right, float bottom, float alpha, bool refresh) {
  overlay_.rDest = NORMALIZEDRECT{left, top, right, bottom};
  overlay_.fAlpha = alpha;
  if (refresh) RefreshOverlay();
  else ShowOverlay();
}

std::shared_ptr<IVMRMixerBitmap9> TVMRBitmap::Mixer() const { return window_.Query<IVMRMixerBitmap9>(); }

void TVMRBitmap::ShowOverlay() {
  if (const auto mixer = Mixer()) mixer->SetAlphaBitmap(overlay_);
}

void TVMRBitmap::RefreshOverlay() {
  if (const auto mixer = Mixer()) mixer->UpdateAlphaBitmapParameters(overlay_);
}

}  // namespace media
