#include "app/DemoCameras.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>

namespace app {

std::vector<std::string> DemoCameras::PluginFolders(const std::string& exeDir) {
  std::vector<std::string> folders;
#ifdef QUADROVIA_PLUGIN_RELDIR
  // Relative to the executable, so a tree installed under DESTDIR or moved
  // elsewhere finds its own copy.
  folders.push_back(QDir::cleanPath(QString::fromStdString(exeDir) + QStringLiteral(QUADROVIA_PLUGIN_RELDIR)).toStdString());
#endif
#ifdef QUADROVIA_BUILD_PLUGIN_DIR
  folders.push_back(QUADROVIA_BUILD_PLUGIN_DIR);
#endif
  return folders;
}

bool DemoCameras::Prepare(const std::string& exeDir) {
  for (const std::string& folder : PluginFolders(exeDir)) {
    if (QFileInfo::exists(QString::fromStdString(folder + "/libgstsynthcam.so"))) {
      pluginFolder_ = folder;
      break;
    }
  }
  if (pluginFolder_.empty() || !folder_.isValid()) return false;
  const QString cameras = folder_.filePath(QStringLiteral("demo-cameras.txt"));
  QFile file(cameras);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write("Demo camera 1\nDemo camera 2\nDemo camera 3\nDemo camera 4\n") < 0)
    return false;
  file.close();
  const char* existing = std::getenv("GST_PLUGIN_PATH");
  const std::string path = pluginFolder_ + (existing && *existing ? ":" + std::string(existing) : std::string());
  ::setenv("GST_PLUGIN_PATH", path.c_str(), 1);
  ::setenv("QUADROVIA_SYNTHCAMS", QFile::encodeName(cameras).constData(), 1);
  return true;
}

}  // namespace app
