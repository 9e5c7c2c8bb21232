#pragma once
#include <functional>
#include <optional>
#include <string>

namespace app {

// The two application-wide paths. Empty until the main window's creation sets
// them; fixed from then on (a changed save folder applies at the next start).
//
// Where the per-user files go depends on how the program runs. Portable (run
// from a folder the user owns: a build tree, an unpacked copy): the settings
// file and the default save folder are beside the executable. Installed (the
// executable in the bin folder of the prefix it was built for, or in a folder
// the user cannot write): the XDG places, settings under the config folder and
// recordings under the videos folder.
struct AppPaths {
  static std::string AppDir;    // the executable's folder, ending in "/"
  static std::string SavePath;  // "path" of the settings file, default DefaultSavePath()

  // Creates one level when the path is not an existing directory; silent.
  static void EnsureFolder(const std::string& path);
  // Creates the folder and any missing parents (mode 0700 for new ones, as
  // for XDG folders); true when it exists afterwards.
  static bool EnsureFolderWithParents(const std::string& path);
  static std::string RecordingsRoot() { return SavePath + "/录像/"; }
  static std::string ScreenshotsFolder() { return SavePath + "/截屏/"; }

  // What the answers depend on, injectable for tests.
  struct Environment {
    std::string executablePath;
    std::string installBinDir;  // the bin folder of the prefix the build was made for
    std::function<std::optional<std::string>(const char* name)> getenv;
    // True when the folder exists and refuses the user's writes.
    std::function<bool(const std::string& folder)> refusesWrites;
    std::function<std::optional<std::string>(const std::string& path)> readFile;
  };
  // The running process's own (HOME falls back to the password database).
  static Environment ProcessEnvironment();

  static bool Installed(const Environment& env);
  // Portable: the executable's path with its extension replaced by ".ini"
  // (so a renamed executable uses a file of its new name). Installed:
  // $XDG_CONFIG_HOME/quadrovia/quadrovia.ini, default ~/.config/...
  static std::string SettingsFilePath(const Environment& env);
  // Portable: the executable's folder. Installed: the XDG videos folder
  // (user-dirs.dirs, else $XDG_VIDEOS_DIR, else ~/Videos) + "/Quadrovia/".
  static std::string DefaultSavePath(const Environment& env);

  // The same for the running process.
  static bool Installed() { return Installed(ProcessEnvironment()); }
  static std::string SettingsFilePath() { return SettingsFilePath(ProcessEnvironment()); }
  static std::string DefaultSavePath() { return DefaultSavePath(ProcessEnvironment()); }
};

}  // namespace app
