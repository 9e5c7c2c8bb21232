#include "app/TsplashForm.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <gtest/gtest.h>

#include "app/SplashPicture.h"
#include "app/resources/ProgramResources.h"

using app::TsplashForm;

namespace {

// What the window system shows of the window: the pixels it was given,
// without painting anything anew.
QImage OnScreen(QWidget& window) {
  return window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

int BrightPixels(const QImage& image, const QRect& area) {
  int n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) n += qGray(image.pixel(x, y)) > 200 ? 1 : 0;
  return n;
}

const QRect kLabelArea(149, 199, 60, 15);

TEST(SplashForm, DesignerValues) {
  TsplashForm splash;
  EXPECT_EQ(splash.size(), QSize(358, 225));
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(splash.windowType(), Qt::SplashScreen);
  EXPECT_EQ(splash.parentWidget(), nullptr);
  EXPECT_EQ(splash.windowTitle(), "splashForm");
  EXPECT_EQ(splash.Picture().size(), QSize(357, 224));
}

TEST(SplashForm, IsCentredAndCompletelyPaintedWhenShowAndPaintReturns) {
  TsplashForm splash;
  splash.ShowAndPaint();
  const QRect screen = splash.screen()->availableGeometry();
  EXPECT_LE((splash.frameGeometry().center() - screen.center()).manhattanLength(), 2);

  const QImage shown = OnScreen(splash);
  ASSERT_EQ(shown.size(), QSize(358, 225));
  const QImage& picture = splash.Picture();
  EXPECT_EQ(shown.pixel(0, 0), qRgb(128, 128, 128));
  EXPECT_EQ(shown.pixel(0, 224), qRgb(128, 128, 128));
  EXPECT_EQ(shown.pixel(357, 0), qRgb(128, 128, 128));
  EXPECT_EQ(shown.pixel(1, 1), picture.pixel(0, 0));
  EXPECT_EQ(shown.pixel(357, 224), picture.pixel(356, 223)) << "the picture covers the right and bottom edges";
  // The white name stands out on the dark bottom of the picture.
  EXPECT_EQ(BrightPixels(picture, kLabelArea.translated(-1, -1)), 0);
  EXPECT_GT(BrightPixels(shown, kLabelArea), 15);
}

TEST(SplashForm, ACorruptPictureGivesASplashWithoutPicture) {
  TsplashForm splash(app::SplashPicture::Decode(app::ProgramResources::SplashJpeg().left(3000)));
  EXPECT_TRUE(splash.Picture().isNull());
  splash.ShowAndPaint();
  const QImage shown = OnScreen(splash);
  EXPECT_EQ(shown.pixel(0, 0), qRgb(128, 128, 128));
  EXPECT_EQ(shown.pixel(1, 1), qRgb(255, 255, 255));
  EXPECT_EQ(shown.pixel(200, 100), qRgb(255, 255, 255));
}

}  // namespace
