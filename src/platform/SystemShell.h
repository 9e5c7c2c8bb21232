#pragma once
#include <QObject>
#include <map>
#include <memory>
#include <utility>

#include "platform/Shell.h"

namespace platform {

class TrayWatch;

// The desktop's shell: notification-area icons are QSystemTrayIcons (which
// speak the desktop's own tray protocols), the rest are Qt's cursor, style,
// keyboard and window calls. Qt reports a click on an icon, not its press and
// release, so each activation is posted as the message sequence a desktop
// shell sends for it; moves over the icon are not reported.
class SystemShell : public QObject, public Shell {
  Q_OBJECT
 public:
  SystemShell();
  ~SystemShell() override;

  bool NotifyIcon(UINT message, const NOTIFYICONDATA& data) override;
  long Version() override;
  bool GetCursorPos(QPoint& position) override;
  unsigned GetDoubleClickTime() override;
  short GetAsyncKeyState(int virtualKey) override;
  bool SetForegroundWindow(QWidget* window) override;
  bool SetForegroundWindow(HWND messageWindow) override;
  bool IsWindowVisible(QWidget* window) override;
  bool ShowWindow(QWidget* window, int command) override;

 private:
  class Icon;
  using Key = std::pair<HWND, WPARAM>;

  bool TrayPresent();
  void TrayAppeared();
  void Shutdown();

  std::map<Key, std::unique_ptr<Icon>> icons_;
  std::unique_ptr<TrayWatch> watch_;
};

}  // namespace platform
