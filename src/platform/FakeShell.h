#pragma once
#include <QPoint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Shell.h"

namespace platform {

// A shell for tests. It keeps icons as the desktop's does (same answers for
// adds, modifies and deletes), records every call in order, injects the
// messages a desktop would send, and has switches for faults. While it lives
// it is Shell::Current().
class FakeShell : public Shell {
 public:
  struct Call {
    std::string name;          // "NotifyIcon", "GetCursorPos", "SetForegroundWindow" ...
    UINT message = 0;          // NotifyIcon: NIM_*
    NOTIFYICONDATA data{};     // NotifyIcon: the record as passed
    QWidget* window = nullptr; // window calls
    HWND handle = 0;           // SetForegroundWindow of a message window
    int argument = 0;          // GetAsyncKeyState: the key; ShowWindow: the command
    bool result = false;
  };

  FakeShell();
  ~FakeShell() override;

  bool NotifyIcon(UINT message, const NOTIFYICONDATA& data) override;
  long Version() override { return Record({"Version"}), version; }
  bool GetCursorPos(QPoint& position) override;
  unsigned GetDoubleClickTime() override { return Record({"GetDoubleClickTime"}), doubleClickTime; }
  short GetAsyncKeyState(int virtualKey) override;
  bool SetForegroundWindow(QWidget* window) override;
  bool SetForegroundWindow(HWND messageWindow) override;
  bool IsWindowVisible(QWidget* window) override;
  bool ShowWindow(QWidget* window, int command) override;

  // Desktop activity. Messages are sent at once, to the callback target of
  // the icon (nothing when the icon is absent or has no callback message).
  void Send(HWND window, WPARAM id, LPARAM message);
  void Click(HWND window, WPARAM id);        // down, up
  void DoubleClick(HWND window, WPARAM id);  // down, up, double click, up
  // A new tray: the icons are gone and "TaskbarCreated" is broadcast.
  void RestartTray();

  bool HasIcon(HWND window, WPARAM id) const { return icons_.count({window, id}) != 0; }
  const NOTIFYICONDATA* IconData(HWND window, WPARAM id) const;
  // NotifyIcon calls only, in order.
  std::vector<Call> NotifyCalls() const;
  std::vector<std::string> CallNames() const;
  void ClearCalls() { calls.clear(); }

  // Switches.
  bool trayPresent = true;    // false: every NotifyIcon answers false
  bool cursorKnown = true;    // false: GetCursorPos fails
  long version = 0x00060000;
  unsigned doubleClickTime = 500;
  QPoint cursor{100, 200};
  std::map<int, bool> keysDown;  // by virtual key

  std::vector<Call> calls;

 private:
  void Record(Call call) { calls.push_back(std::move(call)); }

  std::map<std::pair<HWND, WPARAM>, NOTIFYICONDATA> icons_;
  Shell* previous_;
};

}  // namespace platform
