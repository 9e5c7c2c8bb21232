#include "platform/SystemShell.h"

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QStyleHints>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <vector>

#include "platform/ApplicationWindow.h"
#include "platform/MessageWindow.h"
#include "platform/TrayWatch.h"

namespace platform {
namespace {

constexpr int kDefaultBalloonMs = 10000;

QString FieldText(const char* field, std::size_t size) { return QString::fromUtf8(field, strnlen(field, size)); }

// A tray slot without image stays in the tray as an empty square; Qt would
// refuse to show a null icon at all.
QIcon ImageOf(HICON icon) {
  if (icon && !icon->isNull()) return *icon;
  QPixmap blank(16, 16);
  blank.fill(Qt::transparent);
  return QIcon(blank);
}

std::vector<LPARAM> MessagesFor(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger: return {WM_LBUTTONDOWN, WM_LBUTTONUP};
    // Qt reports the first click of a double click as a Trigger of its own.
    case QSystemTrayIcon::DoubleClick: return {WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    case QSystemTrayIcon::Context: return {WM_RBUTTONDOWN, WM_RBUTTONUP};
    case QSystemTrayIcon::MiddleClick: return {WM_MBUTTONDOWN, WM_MBUTTONUP};
    default: return {};
  }
}

QSystemTrayIcon::MessageIcon BalloonIcon(std::uint32_t flags) {
  switch (flags & 0x0F) {
    case NIIF_INFO: return QSystemTrayIcon::Information;
    case NIIF_WARNING: return QSystemTrayIcon::Warning;
    case NIIF_ERROR: return QSystemTrayIcon::Critical;
    default: return QSystemTrayIcon::NoIcon;
  }
}

}  // namespace

// One icon in the notification area with its callback target and balloon.
class SystemShell::Icon {
 public:
  Icon(HWND window, WPARAM id) : window_(window), id_(id) {
    QObject::connect(&tray_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
      for (LPARAM m : MessagesFor(reason)) Notify(m);
    });
    QObject::connect(&tray_, &QSystemTrayIcon::messageClicked, [this] { EndBalloon(NIN_BALLOONUSERCLICK); });
    balloonTimer_.setSingleShot(true);
    QObject::connect(&balloonTimer_, &QTimer::timeout, [this] { EndBalloon(NIN_BALLOONTIMEOUT); });
  }

  void Apply(const NOTIFYICONDATA& data) {
    if (data.uFlags & NIF_MESSAGE) callback_ = data.uCallbackMessage;
    if (data.uFlags & NIF_ICON) tray_.setIcon(ImageOf(data.hIcon));
    if (data.uFlags & NIF_TIP) tray_.setToolTip(FieldText(data.szTip, sizeof data.szTip));
    if (data.uFlags & NIF_INFO) ShowBalloon(data);
  }

  void Show() {
    if (tray_.icon().isNull()) tray_.setIcon(ImageOf(nullptr));
    tray_.show();
  }

 private:
  void Notify(LPARAM message) const {
    if (callback_) PostMessage(window_, callback_, id_, message);
  }

  void ShowBalloon(const NOTIFYICONDATA& data) {
    EndBalloon(NIN_BALLOONHIDE);
    const QString text = FieldText(data.szInfo, sizeof data.szInfo);
    if (text.isEmpty()) return;  // an empty text only takes the balloon away
    const int timeout = data.uTimeout ? static_cast<int>(data.uTimeout) : kDefaultBalloonMs;
    tray_.showMessage(FieldText(data.szInfoTitle, sizeof data.szInfoTitle), text, BalloonIcon(data.dwInfoFlags),
                      timeout);
    balloonShown_ = true;
    balloonTimer_.start(timeout);
    Notify(NIN_BALLOONSHOW);
  }

  // Each balloon ends once: clicked, timed out or replaced.
  void EndBalloon(LPARAM how) {
    if (!balloonShown_) return;
    balloonShown_ = false;
    balloonTimer_.stop();
    Notify(how);
  }

  HWND window_;
  WPARAM id_;
  UINT callback_ = 0;
  bool balloonShown_ = false;
  QSystemTrayIcon tray_;
  QTimer balloonTimer_;
};

namespace {

// The shell that still holds icons and watchers when the application object
// goes; they must go first.
SystemShell* liveShell = nullptr;

}  // namespace

SystemShell::SystemShell() : watch_(std::make_unique<TrayWatch>()) {
  connect(watch_.get(), &TrayWatch::Appeared, this, &SystemShell::TrayAppeared);
  static const bool cleanupAdded = [] {
    qAddPostRoutine([] {
      if (liveShell) liveShell->Shutdown();
    });
    return true;
  }();
  (void)cleanupAdded;
  liveShell = this;
}

SystemShell::~SystemShell() {
  if (liveShell == this) liveShell = nullptr;
}

void SystemShell::Shutdown() {
  icons_.clear();
  watch_.reset();
}

bool SystemShell::TrayPresent() {
  if (watch_ && watch_->CanAnnounce()) return watch_->TrayPresent();
  return QSystemTrayIcon::isSystemTrayAvailable();
}

// The new tray holds none of the old icons: forget them, so that the owners'
// re-adds (on the broadcast) succeed as on a freshly started shell.
void SystemShell::TrayAppeared() {
  icons_.clear();
  if (UINT msg = RegisterWindowMessage("TaskbarCreated")) ApplicationWindow::Broadcast(msg, 0, 0);
}

bool SystemShell::NotifyIcon(UINT message, const NOTIFYICONDATA& data) {
  if (!TrayPresent()) return false;
  const Key key{data.hWnd, data.uID};
  auto it = icons_.find(key);
  switch (message) {
    case NIM_ADD: {
      if (it != icons_.end()) return false;
      auto icon = std::make_unique<Icon>(data.hWnd, data.uID);
      icon->Apply(data);
      icon->Show();
      icons_.emplace(key, std::move(icon));
      return true;
    }
    case NIM_MODIFY:
      if (it == icons_.end()) return false;
      it->second->Apply(data);
      return true;
    case NIM_DELETE:
      if (it == icons_.end()) return false;
      icons_.erase(it);
      return true;
    case NIM_SETVERSION:  // only the classic messages are sent, whatever the version
      return it != icons_.end();
    default:
      return false;
  }
}

long SystemShell::Version() { return watch_ && watch_->CanAnnounce() ? 0x00060000 : -1; }

bool SystemShell::GetCursorPos(QPoint& position) {
  position = QCursor::pos();
  return true;
}

unsigned SystemShell::GetDoubleClickTime() {
  return static_cast<unsigned>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

short SystemShell::GetAsyncKeyState(int virtualKey) {
  const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
  Qt::KeyboardModifier wanted = Qt::NoModifier;
  if (virtualKey == VK_SHIFT) wanted = Qt::ShiftModifier;
  if (virtualKey == VK_CONTROL) wanted = Qt::ControlModifier;
  if (virtualKey == VK_MENU) wanted = Qt::AltModifier;
  return wanted != Qt::NoModifier && modifiers.testFlag(wanted) ? static_cast<short>(0x8000) : 0;
}

bool SystemShell::SetForegroundWindow(QWidget* window) {
  if (!window || !window->isVisible()) return false;
  window->raise();
  window->activateWindow();
  return true;
}

bool SystemShell::SetForegroundWindow(HWND messageWindow) { return IsWindow(messageWindow); }

bool SystemShell::IsWindowVisible(QWidget* window) { return window && window->isVisible(); }

bool SystemShell::ShowWindow(QWidget* window, int command) {
  const bool wasVisible = IsWindowVisible(window);
  if (window && command == SW_HIDE) window->hide();
  return wasVisible;
}

}  // namespace platform
