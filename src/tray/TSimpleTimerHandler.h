#pragma once
#include <memory>
#include <unordered_map>

#include "platform/WindowMessages.h"

namespace platform {
class MessageWindow;
}

namespace tray {

class TSimpleTimer;

// The hidden window that receives the ticks of every TSimpleTimer. It exists
// while at least one timer does (AcquireTimerHandler in each timer's
// constructor, ReleaseTimerHandler in its destructor) and goes at program end
// at the latest. User-interface thread only.
class TSimpleTimerHandler {
 public:
  TSimpleTimerHandler();
  ~TSimpleTimerHandler();

  int UserCount() const { return userCount_; }
  platform::MessageWindow& Window() { return *window_; }
  platform::HWND WindowHandle() const;

  // The live timers by TimerId; a tick for an identifier not here is dropped.
  void Register(TSimpleTimer* timer);
  void Unregister(TSimpleTimer* timer);

 private:
  friend void AcquireTimerHandler();
  friend void ReleaseTimerHandler();

  platform::LRESULT WindowProc(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);

  int userCount_ = 0;
  std::unique_ptr<platform::MessageWindow> window_;
  std::unordered_map<platform::WPARAM, TSimpleTimer*> timers_;
};

// The process's one handler, or nullptr.
TSimpleTimerHandler* SharedTimerHandler();
void AcquireTimerHandler();
void ReleaseTimerHandler();

}  // namespace tray
