// Shows the splash window as the start-up does and, before any event is
// processed, reads back from the display what the window shows there: the
// state in which the start-up goes on to create its main window. Prints
// "painted" or "unpainted". With --show-only it shows the window the plain
// way instead (to see that the reading tells the two apart).
#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

#include "app/TsplashForm.h"

namespace {

bool LooksPainted(const QImage& shown, const QImage& picture) {
  return shown.size() == QSize(358, 225) && shown.pixel(0, 0) == qRgb(128, 128, 128) &&
         shown.pixel(0, 224) == qRgb(128, 128, 128) && shown.pixel(1, 1) == picture.pixel(0, 0) &&
         shown.pixel(357, 224) == picture.pixel(356, 223) && shown.pixel(180, 100) == picture.pixel(179, 99);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  app::TsplashForm splash;
  if (application.arguments().contains("--show-only"))
    splash.show();
  else
    splash.ShowAndPaint();
  const QImage shown =
      splash.screen()->grabWindow(splash.winId()).toImage().convertToFormat(QImage::Format_RGB32);
  const QImage picture = splash.Picture().convertToFormat(QImage::Format_RGB32);
  std::printf("%s\n", LooksPainted(shown, picture) ? "painted" : "unpainted");
  return 0;
}
