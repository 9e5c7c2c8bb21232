#pragma once
#include <functional>

namespace platform {
class InputIdle;
}

namespace app {

// The once-a-second tick of the main window: the first tick starts
// monitoring; every tick, while the idle box is checked, brings the window up
// maximized after more than 150 s without input and back to normal size when
// input returns.
//
// States: not shown by idle (IdleShown false) -> more than 150 idle seconds:
// maximized and restored from the tray (IdleShown true) -> a tick that sees
// fresh input: normal size (IdleShown false). Nothing changes while the box is
// unchecked.
class IdleWatch {
 public:
  struct Hooks {
    std::function<void()> startMonitoring;  // the monitor command; handles its own errors
    std::function<bool()> autoChecked;      // the settings dialog's idle box, read each tick
    std::function<void()> restoreMainForm;  // out of the tray, visible, in front
    std::function<void()> maximize;
    std::function<void()> normalize;
  };

  IdleWatch(platform::InputIdle& idle, Hooks hooks) : idle_(idle), hooks_(std::move(hooks)) {}

  void Timer3Timer();

  bool AutoStartDone = false;
  bool IdleShown = false;

 private:
  void WatchIdle();

  platform::InputIdle& idle_;
  Hooks hooks_;
};

// The 30-second housekeeping tick: memory the process no longer uses goes back
// to the system, then pending messages are processed (handlers may run nested).
void TrimWorkingSet();

}  // namespace app
