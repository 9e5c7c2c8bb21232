#include "platform/Shell.h"

#include <memory>
#include <utility>

#include "platform/SystemShell.h"

namespace platform {
namespace {

Shell* installed = nullptr;

}  // namespace

Shell& Shell::Current() {
  if (installed) return *installed;
  // Made on first use, after the application object: it talks to the display.
  static std::unique_ptr<SystemShell> desktop = std::make_unique<SystemShell>();
  return *desktop;
}

Shell* Shell::SetCurrent(Shell* shell) { return std::exchange(installed, shell); }

}  // namespace platform
