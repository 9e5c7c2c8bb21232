#pragma once
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

namespace Ui {
class mainForm;
}
class QFrame;
class QAbstractButton;

#include "platform/InputIdle.h"

namespace platform {
class WindowTimer;
}  // namespace platform
namespace channels {
class ChannelControl;
}
namespace tray {
class TTrayIcon;
}

namespace app {

class IdleWatch;
class ToptionForm;

void SetChecked(QAbstractButton* box, bool checked, const std::function<void()>& clickHandler);

// The main window: the control panel at the right, the 2x2 grid of video
// panels, always-on-top, and the window's start-up and close steps.
class TmainForm : public QWidget {
  Q_OBJECT
 public:
  // Runs FormCreate; an error in it is shown and ends it early, the window is
  // created all the same.
  // `idle` is the source of input times for the idle watch (the desktop's
  // when nil).
  explicit TmainForm(QWidget* parent = nullptr, std::unique_ptr<platform::InputIdle> idle = nullptr);
  ~TmainForm() override;

  // The settings dialog holds the channel binding and the idle box.
  void SetOptionForm(ToptionForm* form);
  Ui::mainForm& ui() { return *ui_; }
  QFrame* VideoPanel(int channel) const;

  // Event handlers, named after their component and event.
  void FormCreate();
  void FormResize();
  void FormCloseQuery();
  void topcbxClick();
  void sBitBtn3Click();
  void TrayIcon1Click();
  void Timer1Timer();
  void Timer3Timer();

  bool StayOnTop() const { return stayOnTop_; }
  platform::WindowTimer& Timer1() { return *timer1_; }
  platform::WindowTimer& Timer3() { return *timer3_; }
  tray::TTrayIcon& TrayIcon1() { return *trayIcon1_; }
  IdleWatch& Idle() { return *idleWatch_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void SetFormStyle(bool stayOnTop);
  void AlignPanels();
  void ApplyAnchors();
  void NameUncaptionedControls();
  void CreateTrayIcon1();
  void ConnectCommands();

  std::unique_ptr<Ui::mainForm> ui_;
  std::unique_ptr<platform::WindowTimer> timer1_;
  std::unique_ptr<platform::WindowTimer> timer3_;
  std::unique_ptr<tray::TTrayIcon> trayIcon1_;
  std::unique_ptr<platform::InputIdle> inputIdle_;
  std::unique_ptr<channels::ChannelControl> channels_;
  std::unique_ptr<IdleWatch> idleWatch_;
  ToptionForm* optionForm_ = nullptr;
  bool stayOnTop_ = false;
  bool centred_ = false;
};

}  // namespace app
