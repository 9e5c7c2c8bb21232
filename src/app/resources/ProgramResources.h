#pragma once
#include <QByteArray>
#include <QIcon>

namespace app {

// The artwork compiled into the program (resources/artwork.qrc, drawn by
// scripts/make-artwork).
class ProgramResources {
 public:
  // The splash picture as stored: a progressive JPEG of 357 x 224 pixels.
  static QByteArray SplashJpeg();
  // The program icon, one image each of 128, 64, 48, 32 and 16 pixels square
  // with alpha: the window icon and the tray icon.
  static QIcon ProgramIcon();
};

}  // namespace app
