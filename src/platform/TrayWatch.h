#pragma once
#include <QObject>
#include <memory>

class QDBusServiceWatcher;
class QSocketNotifier;

namespace platform {

// Watches the desktop for a system tray: the owner of the XEmbed tray
// selection of the default screen (an own X connection to Qt's display, which
// sees the tray's MANAGER broadcast on the root window), and the status
// notifier watcher on the session bus (only when a session bus address is
// set, so that no bus is started for us). User-interface thread only.
class TrayWatch : public QObject {
  Q_OBJECT
 public:
  TrayWatch();
  ~TrayWatch() override;

  // Whether a new tray would be noticed.
  bool CanAnnounce() const;
  // Whether a tray is there now (asks the display and the bus).
  bool TrayPresent();

 signals:
  // A tray took over after this object was made.
  void Appeared();

 private:
  void OpenDisplay();
  void ReadDisplayEvents();

  void* display_ = nullptr;  // Display*; Xlib stays out of the header
  unsigned long trayAtom_ = 0;
  unsigned long managerAtom_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::unique_ptr<QDBusServiceWatcher> busWatcher_;
};

}  // namespace platform
