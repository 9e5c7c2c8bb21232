#pragma once
#include <string>

namespace app {

// The two application-wide paths. Empty until the main window's creation sets
// them; fixed from then on (a changed save folder applies at the next start).
struct AppPaths {
  static std::string AppDir;    // the executable's folder, ending in "/"
  static std::string SavePath;  // "path" of the settings file, default AppDir

  // Creates one level when the path is not an existing directory; silent.
  static void EnsureFolder(const std::string& path);
  static std::string RecordingsRoot() { return SavePath + "/录像/"; }
  static std::string ScreenshotsFolder() { return SavePath + "/截屏/"; }
};

}  // namespace app
