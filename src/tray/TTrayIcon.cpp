#include "tray/TTrayIcon.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "platform/ApplicationWindow.h"
#include "platform/OwnerWindowHook.h"
#include "platform/Shell.h"
#include "tray/TImageList.h"
#include "tray/TPopupMenu.h"
#include "tray/TSimpleTimer.h"
#include "tray/TTrayIconHandler.h"

namespace tray {
namespace {

using platform::ApplicationWindow;
namespace pf = platform;

pf::Shell& TheShell() { return pf::Shell::Current(); }

// At most 127 bytes and a zero byte; a UTF-8 character that does not fit
// whole is left out rather than cut in two.
void CopyTip(const QByteArray& text, char (&tip)[128]) {
  std::memset(tip, 0, sizeof tip);
  qsizetype n = std::min<qsizetype>(text.size(), sizeof tip - 1);
  while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(tip, text.constData(), static_cast<std::size_t>(n));
}

bool IsMdiForm(QWidget* form) {
  auto* window = qobject_cast<QMainWindow*>(form);
  return window && qobject_cast<QMdiArea*>(window->centralWidget());
}

void Fire(const TTrayIcon::TNotifyEvent& event, TTrayIcon* sender) {
  if (event) event(sender);
}

}  // namespace

TTrayIcon::TTrayIcon(QObject* owner) : QObject(owner), ownerWindow_(qobject_cast<QWidget*>(owner)) {
  AcquireTrayHandler();
  SharedTrayHandler()->Register(this);
  notifyData_.cbSize = pf::kNotifyIconDataSize;
  notifyData_.hWnd = SharedTrayHandler()->WindowHandle();
  notifyData_.uID = TrayId();
  notifyData_.uFlags = pf::NIF_MESSAGE | pf::NIF_ICON | pf::NIF_TIP;
  notifyData_.uCallbackMessage = TrayCallbackMessage;
  iconCycleTimer_ = std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer&) { CycleTimerElapsed(); });
  clickDelayTimer_ = std::make_unique<TSimpleTimer>(1000, [this](TSimpleTimer&) { ClickTimerElapsed(); });
  exitPollTimer_ = std::make_unique<TSimpleTimer>(20, [this](TSimpleTimer&) { ExitTimerElapsed(); });
  applicationHookId_ = ApplicationWindow::AddHook(
      [this](pf::UINT msg, pf::WPARAM w, pf::LPARAM l) { return ApplicationHook(msg, w, l); });
  if (ownerWindow_) HookOwnerWindow();
}

TTrayIcon::~TTrayIcon() {
  try {
    SetIconVisible(false);
    iconCycleTimer_.reset();
    clickDelayTimer_.reset();
    exitPollTimer_.reset();
  } catch (...) {
    // Leaving the tray must not stop the unhooking below.
  }
  ApplicationWindow::RemoveHook(applicationHookId_);
  UnhookOwnerWindow();
  if (TTrayIconHandler* handler = SharedTrayHandler()) handler->Unregister(this);
  ReleaseTrayHandler();
}

void TTrayIcon::HookOwnerWindow() {
  ownerHook_ = std::make_unique<pf::OwnerWindowHook>(
      ownerWindow_, [this](pf::UINT msg, pf::WPARAM w, pf::LPARAM l, pf::LRESULT& result) {
        return OwnerWindowProc(msg, w, l, result);
      });
}

void TTrayIcon::UnhookOwnerWindow() { ownerHook_.reset(); }

void TTrayIcon::Loaded() {
  if (ownerWindow_) {
    bool showMainForm = true;
    if (OnStartup) OnStartup(this, showMainForm);
    if (!showMainForm) {
      ApplicationWindow::SetShowMainForm(false);
      ConcealMainForm();
    }
  }
  RefreshTrayIcon();
  SetIconVisible(iconVisible_);
  SetCycleIcons(cycleIcons_);
  SetWantEnterExitEvents(wantEnterExit_);
  notifyData_.uVersion = 0;
  TheShell().NotifyIcon(pf::NIM_SETVERSION, notifyData_);
}

// --- properties ------------------------------------------------------------

void TTrayIcon::SetIconList(TImageList* list) {
  if (iconList_) disconnect(iconList_, &QObject::destroyed, this, nullptr);
  iconList_ = list;
  // The list going away is its removal: forget it, which resets the index.
  if (list) connect(list, &QObject::destroyed, this, [this] { SetIconList(nullptr); });
  SetIconIndex(0);
}

void TTrayIcon::SetCycleIcons(bool cycle) {
  cycleIcons_ = cycle;
  if (!cycle) return iconCycleTimer_->SetRunning(false);
  SetIconIndex(0);
  iconCycleTimer_->SetIntervalMs(cycleInterval_);
  iconCycleTimer_->SetRunning(true);
}

void TTrayIcon::SetCycleInterval(unsigned ms) {
  if (ms == cycleInterval_) return;
  cycleInterval_ = ms;
  SetCycleIcons(cycleIcons_);
}

void TTrayIcon::SetHint(const QString& hint) {
  hint_ = hint;
  RefreshTrayIcon();
}

void TTrayIcon::SetShowHint(bool show) {
  showHint_ = show;
  RefreshTrayIcon();
}

void TTrayIcon::SetIcon(const QIcon& icon) {
  AssignIcon(icon, false);
  RefreshTrayIcon();
}

void TTrayIcon::SetIconVisible(bool visible) {
  if (visible)
    AddTrayIcon();
  else
    RemoveTrayIcon();
}

void TTrayIcon::SetIconIndex(int index) {
  if (iconList_) {
    iconIndex_ = std::min(index, iconList_->Count() - 1);
    AssignIcon(iconList_->GetIcon(iconIndex_), true);
  } else {
    iconIndex_ = 0;
  }
  RefreshTrayIcon();
}

void TTrayIcon::SetWantEnterExitEvents(bool want) {
  wantEnterExit_ = want;
  exitPollTimer_->SetRunning(want);
}

void TTrayIcon::AssignIcon(const QIcon& icon, bool notify) {
  icon_ = icon;
  if (notify) RefreshTrayIcon();  // the owned icon's change notification
}

// --- shell -----------------------------------------------------------------

bool TTrayIcon::PrepareIconData() {
  notifyData_.hIcon = icon_.isNull() ? nullptr : &icon_;
  if (!hint_.isEmpty() && showHint_)
    CopyTip(hint_.toUtf8(), notifyData_.szTip);
  else
    std::memset(notifyData_.szTip, 0, sizeof notifyData_.szTip);
  return true;
}

bool TTrayIcon::AddTrayIcon() {
  iconVisible_ = true;
  return PrepareIconData() && TheShell().NotifyIcon(pf::NIM_ADD, notifyData_);
}

bool TTrayIcon::RemoveTrayIcon() {
  iconVisible_ = false;
  return PrepareIconData() && TheShell().NotifyIcon(pf::NIM_DELETE, notifyData_);
}

bool TTrayIcon::RefreshTrayIcon() { return PrepareIconData() && TheShell().NotifyIcon(pf::NIM_MODIFY, notifyData_); }

// --- callbacks ---------------------------------------------------------------

void TTrayIcon::HandleTrayCallback(pf::LPARAM message) {
  switch (message) {
    case pf::NIN_BALLOONSHOW: return Fire(OnBalloonHintShow, this);
    case pf::NIN_BALLOONHIDE: return Fire(OnBalloonHintHide, this);
    case pf::NIN_BALLOONTIMEOUT: return Fire(OnBalloonHintTimeout, this);
    case pf::NIN_BALLOONUSERCLICK: return Fire(OnBalloonHintClick, this);
    default: break;
  }
  if (!enabled_) return;
  switch (message) {
    case pf::WM_MOUSEMOVE: return MouseMove();
    case pf::WM_LBUTTONDOWN: return LeftButtonDown();
    case pf::WM_LBUTTONUP: return LeftButtonUp();
    case pf::WM_LBUTTONDBLCLK: return LeftDoubleClick();
    case pf::WM_RBUTTONDOWN: return ButtonDown(TMouseButton::mbRight, ssRight);
    case pf::WM_RBUTTONUP: return ButtonUp(TMouseButton::mbRight, ssRight);
    case pf::WM_MBUTTONDOWN: return ButtonDown(TMouseButton::mbMiddle, ssMiddle);
    case pf::WM_MBUTTONUP: return ButtonUp(TMouseButton::mbMiddle, ssMiddle);
    default: return;
  }
}

TTrayIcon::Cursor TTrayIcon::ReadCursor(TShiftState button) const {
  Cursor cursor{CurrentShiftState() | button, {}};
  TheShell().GetCursorPos(cursor.position);
  return cursor;
}

bool TTrayIcon::AutoPopupMenu() const { return popupMenu_ && popupMenu_->AutoPopup; }

void TTrayIcon::MouseMove() {
  const Cursor c = ReadCursor(0);
  if (wantEnterExit_ && cursorOutside_) {
    NotifyMouseEnter();
    cursorOutside_ = false;
  }
  NotifyMouseMove(c.shift, c.position.x(), c.position.y());
  lastMovePos_ = c.position;
}

void TTrayIcon::LeftButtonDown() {
  if (OnDblClick) {
    clickDelayTimer_->SetIntervalMs(TheShell().GetDoubleClickTime());
    clickDelayTimer_->StartTicking();
  }
  const Cursor c = ReadCursor(ssLeft);
  NotifyMouseDown(TMouseButton::mbLeft, c.shift, c.position.x(), c.position.y());
  clickStarted_ = true;
  if (LeftPopup && AutoPopupMenu()) {
    TheShell().SetForegroundWindow(notifyData_.hWnd);
    ShowPopupAtCursor();
  }
}

void TTrayIcon::LeftButtonUp() {
  if (clickStarted_) clickPending_ = true;
  if (clickStarted_ && !clickDelayTimer_->Running()) {
    clickStarted_ = false;
    clickPending_ = false;
    NotifyClick();
  }
  clickStarted_ = false;
  const Cursor c = ReadCursor(ssLeft);
  NotifyMouseUp(TMouseButton::mbLeft, c.shift, c.position.x(), c.position.y());
}

void TTrayIcon::LeftDoubleClick() {
  clickPending_ = false;
  doubleClicked_ = true;
  NotifyDblClick();
  if (!AutoPopupMenu() || LeftPopup) return;
  if (QAction* item = popupMenu_->defaultAction()) item->trigger();
}

void TTrayIcon::ButtonDown(TMouseButton button, TShiftState element) {
  const Cursor c = ReadCursor(element);
  NotifyMouseDown(button, c.shift, c.position.x(), c.position.y());
  if (button == TMouseButton::mbRight && AutoPopupMenu()) {
    TheShell().SetForegroundWindow(notifyData_.hWnd);
    ShowPopupAtCursor();
  }
}

void TTrayIcon::ButtonUp(TMouseButton button, TShiftState element) {
  const Cursor c = ReadCursor(element);
  NotifyMouseUp(button, c.shift, c.position.x(), c.position.y());
}

// --- timers ------------------------------------------------------------------

void TTrayIcon::ClickTimerElapsed() {
  clickDelayTimer_->SetRunning(false);
  if (!doubleClicked_ && clickPending_) {
    clickPending_ = false;
    NotifyClick();
  }
  doubleClicked_ = false;
}

void TTrayIcon::ExitTimerElapsed() {
  if (cursorOutside_) return;
  QPoint now;
  TheShell().GetCursorPos(now);
  if (now == lastMovePos_) return;
  cursorOutside_ = true;
  NotifyMouseExit();
}

// Shows the icon at IconIndex, then moves the index on: the icon shown lags
// the index by one step, and OnCycle is told the index shown next.
void TTrayIcon::CycleTimerElapsed() {
  const int count = iconList_ ? iconList_->Count() : 0;
  if (iconList_) AssignIcon(iconList_->GetIcon(iconIndex_), true);
  const int next = iconIndex_ < count - 1 ? iconIndex_ + 1 : 0;
  NotifyCycle(next);
  iconIndex_ = next;
}

// --- popup -------------------------------------------------------------------

void TTrayIcon::ShowPopupAt(int x, int y) {
  if (!popupMenu_) return;
  TheShell().SetForegroundWindow(notifyData_.hWnd);
  ApplicationWindow::ProcessMessages();
  if (!popupMenu_) return;  // removed while messages were processed
  popupMenu_->SetPopupComponent(this);
  // Qt's popup closes by itself on a click elsewhere; no wake-up message to
  // the owner is needed.
  popupMenu_->popup(QPoint(x, y));
}

void TTrayIcon::ShowPopupAtCursor() {
  QPoint at;
  if (TheShell().GetCursorPos(at)) ShowPopupAt(at.x(), at.y());
}

// --- main form ---------------------------------------------------------------

void TTrayIcon::RestoreMainForm() {
  QWidget* mainForm = ApplicationWindow::MainForm();
  if (!ownerWindow_ || !mainForm) return;
  ApplicationWindow::Restore();
  if (mainForm->isMinimized()) mainForm->setWindowState(mainForm->windowState() & ~Qt::WindowMinimized);
  mainForm->setVisible(true);
  TheShell().SetForegroundWindow(ApplicationWindow::Window());
}

void TTrayIcon::ConcealMainForm() {
  QWidget* mainForm = ApplicationWindow::MainForm();
  if (!ownerWindow_ || !mainForm) return;
  mainForm->setVisible(false);
  HideAppWindow();
}

void TTrayIcon::HideAppWindow() {
  QWidget* window = ApplicationWindow::Window();
  if (TheShell().IsWindowVisible(window)) TheShell().ShowWindow(window, pf::SW_HIDE);
}

// Without a notification area holding the icon nothing could bring a
// concealed window back: it stays minimized the ordinary way, in the window
// list.
void TTrayIcon::SendToTray() {
  if (!TrayHoldsIcon()) return;
  ConcealMainForm();
  SetIconVisible(true);
}

// The icon is re-added when it is not in the tray, since a notification area
// may have come since the last try; a failed try leaves IconVisible as it was.
bool TTrayIcon::TrayHoldsIcon() {
  if (RefreshTrayIcon()) return true;
  const bool wasVisible = iconVisible_;
  if (AddTrayIcon()) return true;
  iconVisible_ = wasVisible;
  return false;
}

// --- hooks -------------------------------------------------------------------

bool TTrayIcon::ApplicationHook(pf::UINT msg, pf::WPARAM wParam, pf::LPARAM) {
  if (msg == pf::WM_SIZE && wParam == pf::SIZE_MINIMIZED && MinimizeToTray) SendToTray();
  if (msg == pf::WM_WINDOWPOSCHANGED && awaitingMdiMainForm_) CheckMdiMainForm();
  if (msg == pf::WM_SYSCOMMAND && wParam == pf::SC_RESTORE) {
    if (QWidget* mainForm = ApplicationWindow::MainForm()) {
      if (mainForm->isMinimized()) mainForm->setWindowState(mainForm->windowState() & ~Qt::WindowMinimized);
      mainForm->setVisible(true);
    }
  }
  const pf::UINT taskbarCreated = TaskbarCreatedMsg();
  if (taskbarCreated != 0 && msg == taskbarCreated && iconVisible_) AddTrayIcon();
  return false;
}

void TTrayIcon::CheckMdiMainForm() {
  QWidget* mainForm = ApplicationWindow::MainForm();
  if (!mainForm) return;  // still pending
  if (IsMdiForm(mainForm)) {
    bool showMainForm = true;
    if (OnStartup) OnStartup(this, showMainForm);
    if (!showMainForm) HideAppWindow();
  }
  awaitingMdiMainForm_ = false;
}

bool TTrayIcon::OwnerWindowProc(pf::UINT msg, pf::WPARAM wParam, pf::LPARAM lParam, pf::LRESULT& result) {
  if (msg == pf::WM_SHOWWINDOW && wParam == 1 && lParam == 0) {
    TheShell().SetForegroundWindow(ApplicationWindow::Window());
    TheShell().SetForegroundWindow(ownerWindow_.data());
  }
  if (msg == pf::WM_SHOWWINDOW && wParam == 0 && lParam == pf::SW_PARENTCLOSING && !ApplicationWindow::Terminated())
    return TryMinimizeToTray(result);
  if (msg == pf::WM_SYSCOMMAND && wParam == pf::SC_MINIMIZE) return TryMinimizeToTray(result);
  return false;
}

bool TTrayIcon::TryMinimizeToTray(pf::LRESULT& result) {
  if (!MinimizeToTray || !OnMinimizeToTray || !TrayHoldsIcon()) return false;
  OnMinimizeToTray(this);
  SendToTray();
  result = 1;
  return true;
}

// --- notifications -----------------------------------------------------------

void TTrayIcon::NotifyClick() { Fire(OnClick, this); }
void TTrayIcon::NotifyDblClick() { Fire(OnDblClick, this); }
void TTrayIcon::NotifyMouseEnter() { Fire(OnMouseEnter, this); }
void TTrayIcon::NotifyMouseExit() { Fire(OnMouseExit, this); }

void TTrayIcon::NotifyCycle(int nextIndex) {
  if (OnCycle) OnCycle(this, nextIndex);
}

void TTrayIcon::NotifyMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TTrayIcon::NotifyMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TTrayIcon::NotifyMouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

}  // namespace tray
