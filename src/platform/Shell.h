#pragma once
#include "platform/NotifyIconData.h"

class QPoint;
class QWidget;

namespace platform {

inline constexpr int VK_SHIFT = 0x10;
inline constexpr int VK_CONTROL = 0x11;
inline constexpr int VK_MENU = 0x12;  // Alt

inline constexpr int SW_HIDE = 0;

// The first shell version that broadcasts "TaskbarCreated" (4.71).
inline constexpr long kTaskbarCreatedVersion = 0x00040047;

// The desktop services the tray icon component uses: the notification area
// and a few window and input queries. User-interface thread only.
//
// Notification area: one icon per (hWnd, uID). NIM_ADD of an icon already
// there, and NIM_MODIFY, NIM_DELETE or NIM_SETVERSION of an absent one, answer
// false; with no tray on the desktop every call answers false. Activity on an
// icon is posted to hWnd as uCallbackMessage with wParam = uID and lParam = the
// mouse message, in the order a desktop shell reports it: a click as
// WM_LBUTTONDOWN, WM_LBUTTONUP; a double click as down, up, WM_LBUTTONDBLCLK,
// up; right and middle clicks as their down and up; balloons as
// NIN_BALLOONSHOW, then NIN_BALLOONUSERCLICK, NIN_BALLOONTIMEOUT or
// NIN_BALLOONHIDE. When a tray appears on the desktop after start the shell
// forgets its icons, as the new tray has none, and broadcasts the registered
// message "TaskbarCreated" to the application window's hooks.
class Shell {
 public:
  virtual ~Shell() = default;

  // The shell in use: the desktop's, unless a test installed another.
  static Shell& Current();
  // nullptr goes back to the desktop's shell. The shell must outlive its use.
  // Answers the shell installed before (nullptr: the desktop's).
  static Shell* SetCurrent(Shell* shell);

  virtual bool NotifyIcon(UINT message, const NOTIFYICONDATA& data) = 0;
  // At least kTaskbarCreatedVersion when the shell can announce a tray that
  // appears after start; -1 when it cannot.
  virtual long Version() = 0;

  virtual bool GetCursorPos(QPoint& position) = 0;
  virtual unsigned GetDoubleClickTime() = 0;
  // The top bit (0x8000) is set while the key is down.
  virtual short GetAsyncKeyState(int virtualKey) = 0;

  // Brings a top-level window to the front and gives it the focus.
  virtual bool SetForegroundWindow(QWidget* window) = 0;
  // A message window has nothing to show; answers whether it exists.
  virtual bool SetForegroundWindow(HWND messageWindow) = 0;
  virtual bool IsWindowVisible(QWidget* window) = 0;
  // SW_HIDE only: hides the window, which takes its taskbar button away.
  // Answers whether the window was visible before.
  virtual bool ShowWindow(QWidget* window, int command) = 0;
};

}  // namespace platform
