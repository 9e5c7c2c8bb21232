#include "app/IdleWatch.h"

#include <QCoreApplication>
#include <cstdint>

#include "platform/InputIdle.h"
#include "platform/WorkingSet.h"

namespace app {

void IdleWatch::Timer3Timer() {
  if (!AutoStartDone) {
    AutoStartDone = true;
    if (hooks_.startMonitoring) hooks_.startMonitoring();
  }
  if (!hooks_.autoChecked || !hooks_.autoChecked()) return;
  try {
    WatchIdle();
  } catch (...) {
    // A failed tick is silent; the next one tries again.
  }
}

void IdleWatch::WatchIdle() {
  std::uint32_t lastInput = 0;
  // Without a last-input time this tick cannot judge idleness: it changes
  // nothing rather than act on a made-up time.
  if (!idle_.LastInputTick(lastInput)) return;
  const std::uint32_t idleSeconds = (idle_.TickCount() - lastInput) / 1000u;
  if (idleSeconds > 150) {
    if (IdleShown) return;
    hooks_.maximize();
    hooks_.restoreMainForm();
    IdleShown = true;
  } else if (IdleShown) {
    hooks_.normalize();
    IdleShown = false;
  }
}

void TrimWorkingSet() {
  if (platform::WorkingSet::PlatformId() != platform::WorkingSet::VER_PLATFORM_WIN32_NT) return;
  platform::WorkingSet::Trim();
  QCoreApplication::processEvents();
}

}  // namespace app
