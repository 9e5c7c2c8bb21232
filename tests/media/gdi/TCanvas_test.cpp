#include "media/gdi/TCanvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <set>

#include "media/RuntimeErrors.h"

using namespace media;
using namespace media::gdi;

namespace {

// A canvas bound to a memory context with a bitmap of the given depth.
struct CanvasOn {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap;
  HGDIOBJ stock;
  TCanvas canvas;
  explicit CanvasOn(int bitsPerPixel, int width = 60, int height = 40)
      : bitmap(CreateBitmap(width, height, bitsPerPixel)), stock(SelectObject(dc, bitmap)) {
    canvas.SetHandle(dc);
  }
  ~CanvasOn() {
    SelectObject(dc, stock);
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
  const QImage& Picture() const { return *SurfaceOf(dc); }
};

TEST(TCanvas, TextOutFillsItsCellWithTheBrushAndDrawsUnsmoothedText) {
  CanvasOn c(24);
  c.canvas.Brush.Color = RGB(192, 192, 192);
  c.canvas.FillRect(c.canvas.ClipRect());
  c.canvas.Brush.Color = RGB(0, 0, 255);
  c.canvas.Font.Color = RGB(255, 0, 0);
  c.canvas.Font.Size = 18;
  c.canvas.Font.Style = FontStyles(fsBold);
  c.canvas.TextOut(2, 3, "●");

  std::set<QRgb> colours;
  for (int y = 0; y < c.Picture().height(); ++y)
    for (int x = 0; x < c.Picture().width(); ++x) colours.insert(c.Picture().pixel(x, y) & RGB_MASK);
  // Background, text cell and text, and no blend of them.
  EXPECT_EQ(colours, (std::set<QRgb>{0xC0C0C0, 0x0000FF, 0xFF0000}));
  EXPECT_EQ(c.Picture().pixel(0, 0) & RGB_MASK, 0xC0C0C0u);
  EXPECT_EQ(c.Picture().pixel(2, 3) & RGB_MASK, 0x0000FFu);  // the cell starts at (x, y)
}

TEST(TCanvas, AClearBrushLeavesTheBackgroundUnderTextAndFills) {
  CanvasOn c(32);
  c.canvas.Brush.Style = bsClear;
  c.canvas.FillRect(c.canvas.ClipRect());
  c.canvas.Font.Color = RGB(255, 255, 255);
  c.canvas.TextOut(0, 0, "x");
  EXPECT_EQ(c.Picture().pixel(0, 0) & RGB_MASK, 0u);
}

TEST(TCanvas, PicturesWithAColourTableAreDrawnInTheirOwnColours) {
  CanvasOn c(8, 8, 8);
  c.canvas.Brush.Color = RGB(255, 0, 0);
  c.canvas.FillRect(RECT{0, 0, 4, 8});
  EXPECT_EQ(c.Picture().format(), QImage::Format_Indexed8);
  EXPECT_EQ(c.Picture().pixelColor(1, 1), QColor(255, 0, 0));
  EXPECT_EQ(c.Picture().pixelColor(6, 1), QColor(0, 0, 0));
}

TEST(TCanvas, AnUnboundCanvasHasNoClipRectAndRefusesToDraw) {
  TCanvas canvas;
  EXPECT_EQ(canvas.ClipRect(), RECT{});
  EXPECT_THROW(canvas.FillRect(RECT{0, 0, 1, 1}), EInvalidOperation);
  EXPECT_THROW(canvas.TextOut(0, 0, "a"), EInvalidOperation);
}

}  // namespace
