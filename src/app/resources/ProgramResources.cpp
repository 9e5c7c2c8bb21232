#include "app/resources/ProgramResources.h"

#include <QFile>

// The resources sit in a static library: nothing refers to their object file,
// so they must be registered by hand before first use.
static void RegisterArtwork() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(artwork);
    return true;
  }();
  (void)registered;
}

namespace app {

QByteArray ProgramResources::SplashJpeg() {
  RegisterArtwork();
  QFile file(QStringLiteral(":/artwork/splash.jpg"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QIcon ProgramResources::ProgramIcon() {
  RegisterArtwork();
  QIcon icon;
  for (int size : {128, 64, 48, 32, 16})
    icon.addFile(QStringLiteral(":/artwork/icons/quadrovia-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace app
