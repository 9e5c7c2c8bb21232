#pragma once
#include <QTemporaryDir>
#include <string>
#include <vector>

namespace app {

// --demo: four synthetic cameras. Puts the synthetic camera plugin's folder
// first on GST_PLUGIN_PATH and names a camera file of four cameras in
// QUADROVIA_SYNTHCAMS; both must happen before GStreamer starts. The file
// lives as long as this object, since the plugin reads it at every listing.
class DemoCameras {
 public:
  // The plugin's folders to look in, for an executable in exeDir ("/" at the
  // end): the installed private folder beside the executable's prefix, then
  // the build tree's.
  static std::vector<std::string> PluginFolders(const std::string& exeDir);

  // False (and nothing changed) when no folder holds the plugin.
  bool Prepare(const std::string& exeDir);
  std::string PluginFolder() const { return pluginFolder_; }

 private:
  QTemporaryDir folder_;
  std::string pluginFolder_;
};

}  // namespace app
