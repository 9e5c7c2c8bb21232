#include "platform/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace platform {
namespace {
std::string& Override() {
  static std::string path;
  return path;
}
}  // namespace

std::string FileSystem::ExecutablePath() {
  if (!Override().empty()) return Override();
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

void FileSystem::SetExecutablePathForTesting(const std::string& path) { Override() = path; }

bool FileSystem::DirectoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileSystem::CreateDirectory(const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }

}  // namespace platform
