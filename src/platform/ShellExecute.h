#pragma once
#include <string>

namespace platform {

// Opens a file or folder with the desktop's default handler for it (a folder
// in the file manager). Asynchronous; whether it worked is not reported.
class ShellExecute {
 public:
  static constexpr int SW_SHOWMAXIMIZED = 3;
  static void Open(const std::string& path, int showCommand = SW_SHOWMAXIMIZED);

  // Tests replace the desktop's handler; nullptr restores it.
  using Opener = void (*)(const std::string& path);
  static void SetOpenerForTesting(Opener opener);
};

}  // namespace platform
