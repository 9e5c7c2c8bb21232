#pragma once
#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "platform/NotifyIconData.h"
#include "tray/CurrentShiftState.h"
#include "tray/TImageList.h"
#include "tray/TPopupMenu.h"

class QWidget;

namespace platform {
class OwnerWindowHook;
}

namespace tray {

class TSimpleTimer;

// One icon in the notification area for the component's owner (a form),
// kept there across tray restarts. It turns the shell's reports on the icon
// into events, hides the application in the tray when it is minimized (with
// MinimizeToTray, and only while a notification area holds the icon) and
// brings it back with RestoreMainForm, opens a popup menu
// from the icon and can animate the icon from an image list.
//
// The owner sets the properties it wants and then calls Loaded(). The
// component sees the application window's messages through an application
// hook and, when its owner is a widget, the owner's messages first through an
// owner window hook. User-interface thread only.
class TTrayIcon : public QObject {
  Q_OBJECT
 public:
  using TNotifyEvent = std::function<void(TTrayIcon* sender)>;
  using TMouseEvent = std::function<void(TTrayIcon* sender, TMouseButton button, TShiftState shift, int x, int y)>;
  using TMouseMoveEvent = std::function<void(TTrayIcon* sender, TShiftState shift, int x, int y)>;
  using TCycleEvent = std::function<void(TTrayIcon* sender, int nextIndex)>;
  using TStartupEvent = std::function<void(TTrayIcon* sender, bool& showMainForm)>;

  explicit TTrayIcon(QObject* owner);
  ~TTrayIcon() override;

  // After the owner set the properties: OnStartup, then the icon is refreshed,
  // IconVisible, CycleIcons and WantEnterExitEvents are applied again and the
  // classic callback protocol is asked for.
  void Loaded();

  // Properties. Setters act at once.
  bool DesignPreview() const { return designPreview_; }
  void SetDesignPreview(bool preview) { designPreview_ = preview; }  // no run-time effect
  TImageList* IconList() const { return iconList_; }
  void SetIconList(TImageList* list);  // then IconIndex := 0
  bool CycleIcons() const { return cycleIcons_; }
  void SetCycleIcons(bool cycle);  // true: IconIndex := 0 and the cycle starts
  unsigned CycleInterval() const { return cycleInterval_; }
  void SetCycleInterval(unsigned ms);  // 0: the cycle never steps
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }  // false: mouse reports are ignored
  const QString& Hint() const { return hint_; }
  void SetHint(const QString& hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  const QIcon& Icon() const { return icon_; }
  void SetIcon(const QIcon& icon);
  bool IconVisible() const { return iconVisible_; }
  void SetIconVisible(bool visible);
  // With an IconList: v, at most Count - 1 (so -1 for an empty list), and the
  // list's icon at that index becomes Icon; a negative v is kept. Without a
  // list: 0.
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int index);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu) { popupMenu_ = menu; }
  bool LeftPopup = false;  // the menu opens on the left button too; no double-click default item
  bool WantEnterExitEvents() const { return wantEnterExit_; }
  void SetWantEnterExitEvents(bool want);
  bool MinimizeToTray = false;

  // Events, fired with the component as sender when assigned.
  TNotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseExit;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TCycleEvent OnCycle;
  TNotifyEvent OnBalloonHintShow, OnBalloonHintHide, OnBalloonHintTimeout, OnBalloonHintClick;
  TNotifyEvent OnMinimizeToTray;
  TStartupEvent OnStartup;

  // The shell's answer; callers inside the component ignore it.
  virtual bool WantsStockIcon() const { return true; }
  virtual bool AddTrayIcon();
  virtual bool RemoveTrayIcon();
  virtual bool RefreshTrayIcon();

  // Back from the tray or from minimized, visible and in front (maximized if
  // it was maximized before).
  void RestoreMainForm();
  // The main form and the application window (its taskbar button) hidden.
  void ConcealMainForm();
  // Conceals the main form when the icon is in a notification area (adding
  // it first when it is not); without one the form is left as it is.
  virtual void SendToTray();

  // A callback message for this component; lParam is the shell's report.
  void HandleTrayCallback(platform::LPARAM message);
  void ShowPopupAt(int x, int y);
  void ShowPopupAtCursor();

  platform::WPARAM TrayId() const { return reinterpret_cast<platform::WPARAM>(this); }
  const platform::NOTIFYICONDATA& NotifyData() const { return notifyData_; }

 protected:
  virtual void NotifyClick();
  virtual void NotifyDblClick();
  virtual void NotifyCycle(int nextIndex);
  virtual void NotifyMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void NotifyMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void NotifyMouseMove(TShiftState shift, int x, int y);
  virtual void NotifyMouseEnter();
  virtual void NotifyMouseExit();

 private:
  struct Cursor {
    TShiftState shift;
    QPoint position;
  };

  bool PrepareIconData();
  void AssignIcon(const QIcon& icon, bool notify);
  Cursor ReadCursor(TShiftState button) const;
  bool AutoPopupMenu() const;
  void MouseMove();
  void LeftButtonDown();
  void LeftButtonUp();
  void LeftDoubleClick();
  void ButtonDown(TMouseButton button, TShiftState element);
  void ButtonUp(TMouseButton button, TShiftState element);
  void ClickTimerElapsed();
  void ExitTimerElapsed();
  void CycleTimerElapsed();
  bool ApplicationHook(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam);
  bool OwnerWindowProc(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam,
                       platform::LRESULT& result);
  bool TryMinimizeToTray(platform::LRESULT& result);
  bool TrayHoldsIcon();
  void CheckMdiMainForm();
  void HideAppWindow();
  void HookOwnerWindow();
  void UnhookOwnerWindow();

  QPointer<QWidget> ownerWindow_;  // the owner when it is a widget
  platform::NOTIFYICONDATA notifyData_{};
  QIcon icon_;
  QPointer<TImageList> iconList_;
  QPointer<TPopupMenu> popupMenu_;
  QString hint_;
  bool designPreview_ = false;
  bool cycleIcons_ = false;
  unsigned cycleInterval_ = 0;
  bool enabled_ = true;
  bool showHint_ = true;
  bool iconVisible_ = false;
  int iconIndex_ = 0;
  bool wantEnterExit_ = false;

  std::unique_ptr<TSimpleTimer> iconCycleTimer_;
  std::unique_ptr<TSimpleTimer> clickDelayTimer_;
  std::unique_ptr<TSimpleTimer> exitPollTimer_;

  // Left click: idle -> ClickStarted (down) -> released: OnClick at once, or
  // ClickPending until the click delay ends (a double click cancels it).
  bool clickStarted_ = false;
  bool clickPending_ = false;
  bool doubleClicked_ = false;
  bool cursorOutside_ = true;
  QPoint lastMovePos_;
  bool awaitingMdiMainForm_ = true;

  int applicationHookId_ = 0;
  std::unique_ptr<platform::OwnerWindowHook> ownerHook_;
};

}  // namespace tray
