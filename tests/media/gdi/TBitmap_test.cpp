#include "media/gdi/TBitmap.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace media;
using namespace media::gdi;

namespace {

TEST(TBitmap, ChangingSizeAndFormatKeepsThePictureAtTheTopLeft) {
  TBitmap bitmap;
  EXPECT_EQ(bitmap.Handle(), 0u);  // no size, no bitmap
  bitmap.SetWidth(4);
  bitmap.SetHeight(4);
  bitmap.Canvas().Brush.Color = RGB(0, 255, 0);
  bitmap.Canvas().FillRect(RECT{0, 0, 2, 2});
  bitmap.SetWidth(6);
  bitmap.SetPixelFormat(pf24bit);

  const HBITMAP handle = bitmap.Handle();
  BITMAP description;
  ASSERT_EQ(GetObject(handle, description), int(sizeof(BITMAP)));
  EXPECT_EQ(description.bmWidth, 6);
  EXPECT_EQ(description.bmBitsPixel, 24);
  const QImage& pixels = *PixelsOf(handle);
  EXPECT_EQ(pixels.pixelColor(1, 1), QColor(0, 255, 0));
  EXPECT_EQ(pixels.pixelColor(5, 3), QColor(0, 0, 0));
}

TEST(TBitmap, AHandleSelectedElsewhereOutlivesTheObjectUntilDeselected) {
  const std::size_t before = LiveBitmapCount();
  const HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP handle = 0;
  HGDIOBJ stock = 0;
  {
    TBitmap bitmap;
    bitmap.SetWidth(3);
    bitmap.SetHeight(3);
    bitmap.Canvas();  // the bitmap's own context holds it now
    handle = bitmap.Handle();
    stock = SelectObject(dc, handle);
    ASSERT_NE(stock, 0u);
  }
  EXPECT_EQ(LiveBitmapCount(), before + 1);
  EXPECT_TRUE(DeleteObject(SelectObject(dc, stock)));
  DeleteDC(dc);
  EXPECT_EQ(LiveBitmapCount(), before);
}

}  // namespace
