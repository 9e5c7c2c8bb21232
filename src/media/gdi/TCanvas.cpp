#include "media/gdi/TCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "media/RuntimeErrors.h"

namespace media::gdi {
namespace {

constexpr int kPixelsPerInch = 96;

bool Paintable(const QImage& image) {
  return image.format() != QImage::Format_Indexed8 && image.format() != QImage::Format_Mono &&
         image.format() != QImage::Format_MonoLSB;
}

QFont FontOf(const TCanvas::TFont& font) {
  QFont qfont(QString::fromStdString(font.Name));
  qfont.setPixelSize(std::max(1, (font.Size * kPixelsPerInch + 36) / 72));
  qfont.setBold(font.Style & FontStyles(fsBold));
  qfont.setItalic(font.Style & FontStyles(fsItalic));
  qfont.setUnderline(font.Style & FontStyles(fsUnderline));
  qfont.setStrikeOut(font.Style & FontStyles(fsStrikeOut));
  qfont.setStyleStrategy(QFont::NoAntialias);
  return qfont;
}

}  // namespace

RECT TCanvas::ClipRect() const {
  const QImage* surface = SurfaceOf(dc_);
  if (!surface) return {};
  return RECT{0, 0, surface->width(), surface->height()};
}

void TCanvas::FillRect(const RECT& rect) {
  if (Brush.Style == bsClear) return;
  const QColor colour = ColorOf(Brush.Color);
  Paint([&](QPainter& p) { p.fillRect(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top), colour); });
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  const QString qtext = QString::fromStdString(text);
  Paint([&](QPainter& p) {
    p.setFont(FontOf(Font));
    const QFontMetrics metrics(p.font());
    if (Brush.Style == bsSolid)
      p.fillRect(QRect(x, y, metrics.horizontalAdvance(qtext), metrics.height()), ColorOf(Brush.Color));
    p.setPen(ColorOf(Font.Color));
    p.drawText(QPoint(x, y + metrics.ascent()), qtext);
  });
}

// Pictures with a colour table cannot be painted on directly: they are drawn
// in full colour and mapped back to their table.
void TCanvas::Paint(const std::function<void(QPainter&)>& draw) {
  QImage* surface = SurfaceOf(dc_);
  if (!surface) throw EInvalidOperation("Canvas does not allow drawing");
  if (Paintable(*surface)) {
    QPainter painter(surface);
    draw(painter);
    return;
  }
  QImage full = surface->convertToFormat(QImage::Format_RGB32);
  {
    QPainter painter(&full);
    draw(painter);
  }
  *surface = full.convertToFormat(surface->format(), surface->colorTable(), Qt::ThresholdDither | Qt::AvoidDither);
}

}  // namespace media::gdi
