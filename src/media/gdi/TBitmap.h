#pragma once
#include <cstdint>

#include "media/gdi/Gdi.h"
#include "media/gdi/TCanvas.h"

namespace media::gdi {

// pfDevice is the screen's depth (32 bits per pixel).
enum TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// A bitmap object with a canvas of its own. Changing its width, height or
// pixel format makes a new bitmap that keeps the old picture at its top left.
// While its canvas is in use the bitmap is selected into the canvas's own
// memory context; Handle() takes it out of that context first, so the handle
// can be selected elsewhere. Destroying the object deletes the handle unless
// it is selected into another context: the handle then lives on there, and
// whoever deselects it deletes it. User-interface thread.
class TBitmap {
 public:
  TBitmap() = default;
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  void SetWidth(int width);
  int Height() const { return height_; }
  void SetHeight(int height);
  TPixelFormat PixelFormat() const { return format_; }
  void SetPixelFormat(TPixelFormat format);

  // Bound to the bitmap while it has a size; unbound otherwise.
  TCanvas& Canvas();
  // 0 while the bitmap has no size.
  HBITMAP Handle();

  static int BitsPerPixel(TPixelFormat format);

 private:
  void Recreate(int width, int height, TPixelFormat format);
  void FreeContext();

  int width_ = 0;
  int height_ = 0;
  TPixelFormat format_ = pfDevice;
  HBITMAP handle_ = 0;
  TCanvas canvas_;
  HDC canvasDC_ = nullptr;
  HGDIOBJ canvasPrevious_ = 0;
};

}  // namespace media::gdi
