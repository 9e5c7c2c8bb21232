#pragma once
#include <string>

namespace platform {

// The few file-system calls the program makes, on raw byte paths.
class FileSystem {
 public:
  // Full path of the running executable (as started, links not resolved
  // beyond what the kernel reports). Tests may override it.
  static std::string ExecutablePath();
  static void SetExecutablePathForTesting(const std::string& path);  // "" restores

  static bool DirectoryExists(const std::string& path);
  // Creates one directory level; the result is for callers that want it, the
  // program itself ignores it.
  static bool CreateDirectory(const std::string& path);
};

}  // namespace platform
