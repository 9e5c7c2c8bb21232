#include "media/gst/GstMixerBitmap.h"

#include <QPainter>
#include <cmath>

namespace media::gst {
namespace {

bool Finite(const NORMALIZEDRECT& r) {
  return std::isfinite(r.left) && std::isfinite(r.top) && std::isfinite(r.right) && std::isfinite(r.bottom);
}

QRect RectOf(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

// The key as it comes out of the picture's own format (a 16-bit picture
// cannot hold every colour exactly).
QRgb KeyIn(const QImage& picture, COLORREF key) {
  QImage probe(1, 1, picture.format());
  if (picture.format() == QImage::Format_Indexed8 || picture.format() == QImage::Format_Mono)
    probe.setColorTable(picture.colorTable());
  probe.fill(QColor(key & 0xFF, (key >> 8) & 0xFF, (key >> 16) & 0xFF));
  return probe.convertToFormat(QImage::Format_RGB32).pixel(0, 0) & RGB_MASK;
}

}  // namespace

GstMixerBitmap::GstMixerBitmap(std::function<void()> changed) : changed_(std::move(changed)) {}

HRESULT GstMixerBitmap::Check(const VMR9AlphaBitmap& bitmap, const QImage& picture) const {
  if (picture.isNull()) return E_INVALIDARG;
  if ((bitmap.dwFlags & VMR9AlphaBitmap_SrcRect) && !picture.rect().contains(RectOf(bitmap.rSrc)))
    return E_INVALIDARG;
  if ((bitmap.dwFlags & VMR9AlphaBitmap_SrcRect) && RectOf(bitmap.rSrc).isEmpty()) return E_INVALIDARG;
  const NORMALIZEDRECT& d = bitmap.rDest;
  if (!Finite(d) || !(d.right > d.left) || !(d.bottom > d.top)) return E_INVALIDARG;
  if (!(bitmap.fAlpha >= 0.0f && bitmap.fAlpha <= 1.0f)) return E_INVALIDARG;
  return S_OK;
}

HRESULT GstMixerBitmap::SetAlphaBitmap(const VMR9AlphaBitmap& bitmap) {
  const bool fromContext = (bitmap.dwFlags & VMR9AlphaBitmap_hDC) && bitmap.hdc;
  if (!fromContext) {
    if (!(bitmap.dwFlags & VMR9AlphaBitmap_Disable) || bitmap.pDDS) return E_INVALIDARG;
    parameters_.dwFlags |= VMR9AlphaBitmap_Disable;
    if (changed_) changed_();
    return S_OK;
  }
  QImage copy = bitmap.hdc->copy();
  const HRESULT hr = Check(bitmap, copy);
  if (FAILED(hr)) return hr;
  picture_ = std::move(copy);
  Accept(bitmap);
  return S_OK;
}

HRESULT GstMixerBitmap::UpdateAlphaBitmapParameters(const VMR9AlphaBitmap& bitmap) {
  if (picture_.isNull()) return VFW_E_WRONG_STATE;
  const HRESULT hr = Check(bitmap, picture_);
  if (FAILED(hr)) return hr;
  Accept(bitmap);
  return S_OK;
}

HRESULT GstMixerBitmap::GetAlphaBitmapParameters(VMR9AlphaBitmap& bitmap) {
  bitmap = parameters_;
  bitmap.hdc = nullptr;
  return S_OK;
}

void GstMixerBitmap::Accept(const VMR9AlphaBitmap& bitmap) {
  parameters_ = bitmap;
  parameters_.hdc = nullptr;
  parameters_.pDDS = nullptr;
  Rekey();
  if (changed_) changed_();
}

bool GstMixerBitmap::Shown() const {
  return !keyed_.isNull() && !(parameters_.dwFlags & VMR9AlphaBitmap_Disable) && parameters_.fAlpha > 0.0f;
}

void GstMixerBitmap::Rekey() {
  const QRect source =
      parameters_.dwFlags & VMR9AlphaBitmap_SrcRect ? RectOf(parameters_.rSrc) : picture_.rect();
  QImage keyed = picture_.copy(source).convertToFormat(QImage::Format_ARGB32);
  if (parameters_.dwFlags & VMR9AlphaBitmap_SrcColorKey) {
    const QRgb key = KeyIn(picture_, parameters_.clrSrcKey);
    for (int y = 0; y < keyed.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
      for (int x = 0; x < keyed.width(); ++x)
        if ((row[x] & RGB_MASK) == key) row[x] = 0;
    }
  }
  keyed_ = keyed.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void GstMixerBitmap::Draw(QImage& frame) const {
  if (!Shown()) return;
  const NORMALIZEDRECT& d = parameters_.rDest;
  const QRectF target(d.left * frame.width(), d.top * frame.height(), (d.right - d.left) * frame.width(),
                      (d.bottom - d.top) * frame.height());
  QPainter painter(&frame);
  painter.setOpacity(parameters_.fAlpha);
  if (target.size() != QSizeF(keyed_.size())) painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, keyed_);
}

}  // namespace media::gst
