#pragma once
#include <memory>
#include <unordered_map>

#include "platform/WindowMessages.h"

namespace platform {
class MessageWindow;
}

namespace tray {

class TTrayIcon;

// The callback message of every tray icon (WM_USER + 1024).
inline constexpr platform::UINT TrayCallbackMessage = 2048;

// The hidden window to which the shell sends the callback messages of every
// tray icon; it hands each to the icon component whose TrayId is the
// message's wParam. It exists while at least one component does
// (AcquireTrayHandler / ReleaseTrayHandler) and goes at program end at the
// latest. The window cannot be closed by a close request and agrees to end
// the session. User-interface thread only.
class TTrayIconHandler {
 public:
  TTrayIconHandler();
  ~TTrayIconHandler();

  int UserCount() const { return userCount_; }
  platform::HWND WindowHandle() const;

  // The live components by TrayId; a callback for one not here is dropped.
  void Register(TTrayIcon* icon);
  void Unregister(TTrayIcon* icon);

  platform::LRESULT WindowProc(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);

 private:
  friend void AcquireTrayHandler();
  friend void ReleaseTrayHandler();

  int userCount_ = 0;
  std::unique_ptr<platform::MessageWindow> window_;
  std::unordered_map<platform::WPARAM, TTrayIcon*> icons_;
};

// The process's one handler, or nullptr.
TTrayIconHandler* SharedTrayHandler();
void AcquireTrayHandler();
void ReleaseTrayHandler();

// The message by which the shell announces a new tray ("TaskbarCreated"), or
// 0 when the shell cannot announce one. Settled on first use, which is the
// first component's construction, and not changed afterwards.
platform::UINT TaskbarCreatedMsg();
// Settles it again on next use, for tests that change the shell's version.
void ResetTaskbarCreatedMsgForTesting();

}  // namespace tray
