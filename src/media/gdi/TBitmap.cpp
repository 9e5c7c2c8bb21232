#include "media/gdi/TBitmap.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

namespace media::gdi {
namespace {

// `from` drawn at the top left of `to`, in `to`'s format.
void CopyPicture(const QImage& from, QImage& to) {
  QImage full = to.convertToFormat(QImage::Format_RGB32);
  {
    QPainter painter(&full);
    painter.drawImage(0, 0, from);
  }
  to = full.convertToFormat(to.format(), to.colorTable(), Qt::ThresholdDither | Qt::AvoidDither);
}

}  // namespace

TBitmap::~TBitmap() {
  FreeContext();
  if (handle_) DeleteObject(handle_);
}

int TBitmap::BitsPerPixel(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: return 15;
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pfDevice:
    case pf32bit: return 32;
  }
  return 32;
}

void TBitmap::SetWidth(int width) {
  if (width != width_) Recreate(width, height_, format_);
}

void TBitmap::SetHeight(int height) {
  if (height != height_) Recreate(width_, height, format_);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format != format_) Recreate(width_, height_, format);
}

void TBitmap::Recreate(int width, int height, TPixelFormat format) {
  FreeContext();
  const HBITMAP old = handle_;
  handle_ = CreateBitmap(width, height, BitsPerPixel(format));
  const QImage* before = PixelsOf(old);
  if (QImage* after = PixelsOf(handle_); before && after) CopyPicture(*before, *after);
  if (old) DeleteObject(old);
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  format_ = format;
}

TCanvas& TBitmap::Canvas() {
  if (!canvasDC_ && handle_) {
    canvasDC_ = CreateCompatibleDC(nullptr);
    canvasPrevious_ = SelectObject(canvasDC_, handle_);
    if (!canvasPrevious_) FreeContext();
  }
  canvas_.SetHandle(canvasDC_);
  return canvas_;
}

HBITMAP TBitmap::Handle() {
  FreeContext();
  return handle_;
}

void TBitmap::FreeContext() {
  canvas_.SetHandle(nullptr);
  if (!canvasDC_) return;
  if (canvasPrevious_) SelectObject(canvasDC_, canvasPrevious_);
  DeleteDC(canvasDC_);
  canvasDC_ = nullptr;
  canvasPrevious_ = 0;
}

}  // namespace media::gdi
