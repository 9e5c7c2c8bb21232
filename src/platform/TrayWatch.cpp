#include "platform/TrayWatch.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QtGui/qguiapplication_platform.h>
#include <string>

// Xlib last: its macros (None, Bool, Status ...) clash with Qt's names.
#include <X11/Xlib.h>

namespace platform {
namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

Display* AsDisplay(void* display) { return static_cast<Display*>(display); }

// The display Qt talks to, by name; nullptr off X11.
QByteArray QtDisplayName() {
  auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!app || !app->display()) return {};
  return DisplayString(app->display());
}

}  // namespace

TrayWatch::TrayWatch() {
  OpenDisplay();
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") && QDBusConnection::sessionBus().isConnected()) {
    busWatcher_ = std::make_unique<QDBusServiceWatcher>(kWatcherService, QDBusConnection::sessionBus(),
                                                        QDBusServiceWatcher::WatchForRegistration);
    connect(busWatcher_.get(), &QDBusServiceWatcher::serviceRegistered, this, &TrayWatch::Appeared);
  }
}

TrayWatch::~TrayWatch() {
  notifier_.reset();
  if (display_) XCloseDisplay(AsDisplay(display_));
}

void TrayWatch::OpenDisplay() {
  const QByteArray name = QtDisplayName();
  if (name.isEmpty()) return;
  Display* display = XOpenDisplay(name.constData());
  if (!display) return;
  display_ = display;
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  trayAtom_ = XInternAtom(display, selection.c_str(), False);
  managerAtom_ = XInternAtom(display, "MANAGER", False);
  XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask);
  XFlush(display);
  notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &TrayWatch::ReadDisplayEvents);
}

void TrayWatch::ReadDisplayEvents() {
  Display* display = AsDisplay(display_);
  bool appeared = false;
  while (XPending(display)) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ClientMessage && event.xclient.message_type == managerAtom_ &&
        static_cast<unsigned long>(event.xclient.data.l[1]) == trayAtom_)
      appeared = true;
  }
  if (appeared) emit Appeared();
}

bool TrayWatch::CanAnnounce() const { return display_ || busWatcher_; }

bool TrayWatch::TrayPresent() {
  if (display_) {
    const bool owned = XGetSelectionOwner(AsDisplay(display_), trayAtom_) != 0;
    // The round trip may have queued events the socket no longer signals.
    QMetaObject::invokeMethod(this, &TrayWatch::ReadDisplayEvents, Qt::QueuedConnection);
    if (owned) return true;
  }
  if (busWatcher_) {
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (bus && bus->isServiceRegistered(kWatcherService)) return true;
  }
  return false;
}

}  // namespace platform
