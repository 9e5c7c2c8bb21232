#include "media/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace media;
using namespace media::gdi;

namespace {

// One memory context and one bitmap, released whatever the test left.
struct Objects {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(4, 3, 24);
  ~Objects() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
};

TEST(Gdi, ASelectedBitmapIsTheContextsPictureAndComesBackWhenDeselected) {
  Objects o;
  const HGDIOBJ stock = SelectObject(o.dc, o.bitmap);
  ASSERT_NE(stock, 0u);
  QImage* surface = SurfaceOf(o.dc);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface, o.dc);  // the context is its picture
  EXPECT_EQ(surface->size(), QSize(4, 3));
  EXPECT_EQ(surface->format(), QImage::Format_BGR888);
  surface->setPixelColor(1, 1, Qt::red);
  EXPECT_EQ(PixelsOf(o.bitmap), surface);

  EXPECT_EQ(SelectObject(o.dc, stock), o.bitmap);
  EXPECT_EQ(SurfaceOf(o.dc)->size(), QSize(1, 1));
  EXPECT_EQ(PixelsOf(o.bitmap)->pixelColor(1, 1), QColor(Qt::red));
}

TEST(Gdi, ABitmapInUseCannotBeDeletedNorSelectedElsewhere) {
  Objects o;
  const HDC other = CreateCompatibleDC(nullptr);
  const HGDIOBJ stock = SelectObject(o.dc, o.bitmap);
  EXPECT_FALSE(DeleteObject(o.bitmap));
  EXPECT_EQ(SelectObject(other, o.bitmap), 0u);
  EXPECT_EQ(SurfaceOf(other)->size(), QSize(1, 1));

  // Deleting the context leaves the bitmap alive and free again.
  EXPECT_TRUE(DeleteDC(o.dc));
  o.dc = other;
  EXPECT_NE(SelectObject(other, o.bitmap), 0u);
  EXPECT_EQ(SelectObject(other, stock), o.bitmap);
}

TEST(Gdi, StaleAndForeignHandlesAreRefused) {
  const std::size_t bitmaps = LiveBitmapCount(), contexts = LiveDCCount();
  HBITMAP bitmap = CreateBitmap(2, 2, 32);
  ASSERT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap));
  BITMAP description;
  EXPECT_EQ(GetObject(bitmap, description), 0);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(dc, bitmap), 0u);
  ASSERT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  QImage foreign(2, 2, QImage::Format_RGB32);
  EXPECT_EQ(SurfaceOf(&foreign), nullptr);
  EXPECT_EQ(CreateCompatibleDC(&foreign), nullptr);

  const HDC display = GetDC(nullptr);
  EXPECT_FALSE(DeleteDC(display));  // given back with ReleaseDC only
  EXPECT_EQ(SurfaceOf(display), nullptr);
  EXPECT_EQ(ReleaseDC(nullptr, display), 1);
  EXPECT_EQ(LiveBitmapCount(), bitmaps);
  EXPECT_EQ(LiveDCCount(), contexts);
}

struct Depth {
  const char* name;
  int bitsPerPixel;
  int width;
  int widthBytes;
  int reportedBits;
  QImage::Format format;
};

class GdiDepth : public ::testing::TestWithParam<Depth> {};

TEST_P(GdiDepth, ABitmapIsDescribedAndStoredInItsPixelFormat) {
  const Depth& d = GetParam();
  const HBITMAP bitmap = CreateBitmap(d.width, 2, d.bitsPerPixel);
  ASSERT_NE(bitmap, 0u);
  BITMAP description;
  EXPECT_EQ(GetObject(bitmap, description), int(sizeof(BITMAP)));
  EXPECT_EQ(description.bmWidth, d.width);
  EXPECT_EQ(description.bmHeight, 2);
  EXPECT_EQ(description.bmWidthBytes, d.widthBytes);
  EXPECT_EQ(description.bmBitsPixel, d.reportedBits);
  EXPECT_EQ(PixelsOf(bitmap)->format(), d.format);
  DeleteObject(bitmap);
}

INSTANTIATE_TEST_SUITE_P(Depths, GdiDepth,
                         ::testing::Values(Depth{"mono", 1, 9, 2, 1, QImage::Format_Mono},
                                           Depth{"colours16", 4, 5, 4, 4, QImage::Format_Indexed8},
                                           Depth{"colours256", 8, 3, 4, 8, QImage::Format_Indexed8},
                                           Depth{"rgb555", 15, 3, 6, 16, QImage::Format_RGB555},
                                           Depth{"rgb565", 16, 3, 6, 16, QImage::Format_RGB16},
                                           Depth{"bgr24", 24, 3, 10, 24, QImage::Format_BGR888},
                                           Depth{"rgb32", 32, 3, 12, 32, QImage::Format_RGB32}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Gdi, EmptySizesAndUnknownDepthsMakeNoBitmap) {
  EXPECT_EQ(CreateBitmap(0, 5, 24), 0u);
  EXPECT_EQ(CreateBitmap(5, -1, 24), 0u);
  EXPECT_EQ(CreateBitmap(5, 5, 12), 0u);
}

}  // namespace
