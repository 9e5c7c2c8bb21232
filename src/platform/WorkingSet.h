#pragma once

namespace platform {

// The process's memory as the housekeeping timer sees it.
class WorkingSet {
 public:
  static constexpr int VER_PLATFORM_WIN32_NT = 2;
  // The platform family; this one always trims.
  static int PlatformId() { return VER_PLATFORM_WIN32_NT; }
  // Hands the memory the process no longer uses back to the system.
  static bool Trim();
};

}  // namespace platform
