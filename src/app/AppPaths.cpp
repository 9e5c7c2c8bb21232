#include "app/AppPaths.h"

#include "platform/FileSystem.h"

namespace app {

std::string AppPaths::AppDir;
std::string AppPaths::SavePath;

void AppPaths::EnsureFolder(const std::string& path) {
  if (!platform::FileSystem::DirectoryExists(path)) platform::FileSystem::CreateDirectory(path);
}

}  // namespace app
