#include "app/AppPaths.h"

#include <glib.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/FileSystem.h"

#ifndef QUADROVIA_INSTALL_BINDIR
#define QUADROVIA_INSTALL_BINDIR ""
#endif

namespace app {

std::string AppPaths::AppDir;
std::string AppPaths::SavePath;

namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string Home(const AppPaths::Environment& env) {
  return WithoutTrailingSlashes(env.getenv("HOME").value_or(""));
}

// XDG base folders must be absolute; a relative or empty value is ignored.
std::optional<std::string> AbsoluteVariable(const AppPaths::Environment& env, const char* name) {
  const auto value = env.getenv(name);
  if (value && !value->empty() && (*value)[0] == '/') return WithoutTrailingSlashes(*value);
  return std::nullopt;
}

std::string ConfigHome(const AppPaths::Environment& env) {
  return AbsoluteVariable(env, "XDG_CONFIG_HOME").value_or(Home(env) + "/.config");
}

// One line of user-dirs.dirs: NAME="$HOME/sub" or NAME="/absolute", with
// backslash escapes as the shell reads them. Anything else is no answer.
std::optional<std::string> UserDirsValue(const std::string& text, const std::string& name, const std::string& home) {
  std::istringstream lines(text);
  std::string line;
  std::optional<std::string> found;
  while (std::getline(lines, line)) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, name.size() + 2, name + "=\"") != 0) continue;
    std::size_t i = start + name.size() + 2;
    std::string value;
    if (line.compare(i, 5, "$HOME") == 0) value = home, i += 5;
    else if (i >= line.size() || line[i] != '/') continue;
    bool closed = false;
    for (; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) value += line[++i];
      else if (line[i] == '"') { closed = true; break; }
      else value += line[i];
    }
    if (closed && !value.empty()) found = WithoutTrailingSlashes(value);  // the last line wins, as in the shell
  }
  return found;
}

std::string VideosFolder(const AppPaths::Environment& env) {
  const std::string home = Home(env);
  if (const auto text = env.readFile(ConfigHome(env) + "/user-dirs.dirs"))
    if (const auto value = UserDirsValue(*text, "XDG_VIDEOS_DIR", home)) return *value;
  return AbsoluteVariable(env, "XDG_VIDEOS_DIR").value_or(home + "/Videos");
}

}  // namespace

void AppPaths::EnsureFolder(const std::string& path) {
  if (!platform::FileSystem::DirectoryExists(path)) platform::FileSystem::CreateDirectory(path);
}

bool AppPaths::EnsureFolderWithParents(const std::string& path) {
  return !path.empty() && g_mkdir_with_parents(path.c_str(), 0700) == 0;
}

AppPaths::Environment AppPaths::ProcessEnvironment() {
  Environment env;
  env.executablePath = platform::FileSystem::ExecutablePath();
  env.installBinDir = QUADROVIA_INSTALL_BINDIR;
  env.getenv = [](const char* name) -> std::optional<std::string> {
    if (const char* value = std::getenv(name)) return std::string(value);
    if (std::string(name) == "HOME")
      if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return std::string(entry->pw_dir);
    return std::nullopt;
  };
  env.refusesWrites = [](const std::string& folder) {
    return ::access(folder.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS || errno == EPERM);
  };
  env.readFile = [](const std::string& path) -> std::optional<std::string> {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  };
  return env;
}

bool AppPaths::Installed(const Environment& env) {
  const std::string folder = WithoutTrailingSlashes(FolderOf(env.executablePath));
  if (folder.empty()) return false;
  return (!env.installBinDir.empty() && folder == WithoutTrailingSlashes(env.installBinDir)) ||
         env.refusesWrites(folder);
}

std::string AppPaths::SettingsFilePath(const Environment& env) {
  if (Installed(env)) return ConfigHome(env) + "/quadrovia/quadrovia.ini";
  const std::string& exe = env.executablePath;
  const std::size_t slash = exe.rfind('/');
  const std::size_t dot = exe.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? exe.substr(0, dot) : exe) + ".ini";
}

std::string AppPaths::DefaultSavePath(const Environment& env) {
  if (Installed(env)) return VideosFolder(env) + "/Quadrovia/";
  return FolderOf(env.executablePath);
}

}  // namespace app
