#include "app/TmainForm.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>

#include "app/AppPaths.h"
#include "app/IdleWatch.h"
#include "channels/ChannelControl.h"
#include "platform/InputIdle.h"
#include "app/PanelLayout.h"
#include "app/SettingsFile.h"
#include "platform/Skin.h"
#include "app/ToptionForm.h"
#include "app/resources/ProgramResources.h"
#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "platform/WindowPlacement.h"
#include "platform/WindowTimer.h"
#include "tray/TTrayIcon.h"
#include "ui_mainForm.h"

namespace app {
namespace {

constexpr int kControlPanelWidth = 90;
constexpr int kDesignPanelHeight = 508;

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/') + 1); }

}  // namespace

// A check box state set from code runs its click handler when the state
// changes, exactly as a user's click does; errors reach the caller.
void SetChecked(QAbstractButton* box, bool checked, const std::function<void()>& clickHandler) {
  if (box->isChecked() == checked) return;
  {
    const QSignalBlocker quiet(box);
    box->setChecked(checked);
  }
  clickHandler();
}

TmainForm::TmainForm(QWidget* parent, std::unique_ptr<platform::InputIdle> idle)
    : QWidget(parent),
      ui_(std::make_unique<Ui::mainForm>()),
      timer1_(std::make_unique<platform::WindowTimer>(30000, true)),
      timer3_(std::make_unique<platform::WindowTimer>(1000, false)),
      inputIdle_(idle ? std::move(idle) : platform::InputIdle::CreateDesktop()) {
  ui_->setupUi(this);
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(13);
  setFont(font);
  setMinimumSize(1, 1);
  platform::Skin::Apply(this);
  NameUncaptionedControls();
  // toggled, not clicked: keyboard and assistive tools change the box too.
  connect(ui_->topcbx, &QCheckBox::toggled, this, [this] { platform::Application::RunHandler([this] { topcbxClick(); }, this); });
  CreateTrayIcon1();
  ConnectCommands();
  platform::Application::RunHandler([this] { FormCreate(); });
}

// Designer values: in the tray for the whole run, minimizing sends the window
// there, no cycling, no tip, no menu; a click brings the window back.
void TmainForm::CreateTrayIcon1() {
  trayIcon1_ = std::make_unique<tray::TTrayIcon>(this);
  trayIcon1_->SetIcon(ProgramResources::ProgramIcon());
  trayIcon1_->SetIconVisible(true);
  trayIcon1_->MinimizeToTray = true;
  trayIcon1_->SetCycleInterval(0);
  trayIcon1_->SetIconIndex(0);
  trayIcon1_->OnClick = [this](tray::TTrayIcon*) { platform::Application::RunHandler([this] { TrayIcon1Click(); }, this); };
  trayIcon1_->Loaded();
}

void TmainForm::TrayIcon1Click() { trayIcon1_->RestoreMainForm(); }

// The channels go before the windows they draw in; the tray icon last.
TmainForm::~TmainForm() {
  idleWatch_.reset();
  channels_.reset();
}

void TmainForm::ConnectCommands() {
  channels_ = std::make_unique<channels::ChannelControl>(
      this, std::array<QFrame*, 4>{ui_->vPanel1, ui_->vPanel2, ui_->vPanel3, ui_->vPanel4}, ui_->recBtn);
  idleWatch_ = std::make_unique<IdleWatch>(
      *inputIdle_, IdleWatch::Hooks{[this] { channels_->playBtnClick(); },
                                    [this] { return optionForm_ && optionForm_->AutoChecked(); },
                                    [this] { trayIcon1_->RestoreMainForm(); },
                                    [this] { setWindowState(Qt::WindowMaximized); },
                                    [this] { setWindowState(Qt::WindowNoState); }});
  const auto handler = [this](auto method) {
    return [this, method] { platform::Application::RunHandler([this, method] { method(); }, this); };
  };
  connect(ui_->sBitBtn3, &QPushButton::clicked, this, handler([this] { sBitBtn3Click(); }));
  // The monitor command shows its own message for every error.
  connect(ui_->playBtn, &QPushButton::clicked, this, [this] { channels_->playBtnClick(); });
  connect(ui_->recBtn, &QPushButton::clicked, this, handler([this] { channels_->recBtnClick(); }));
  connect(ui_->sBitBtn2, &QPushButton::clicked, this, handler([this] { channels_->sBitBtn2Click(); }));
  timer1_->SetOnTimer(handler([this] { Timer1Timer(); }));
  timer3_->SetOnTimer(handler([this] { Timer3Timer(); }));
}

void TmainForm::SetOptionForm(ToptionForm* form) {
  optionForm_ = form;
  channels_->SetBinding({form->DeviceList(1), form->DeviceList(2), form->DeviceList(3), form->DeviceList(4)},
                        [form]() -> media::TSysDevEnum& { return form->DeviceEnumerator(); });
}

void TmainForm::Timer1Timer() { TrimWorkingSet(); }
void TmainForm::Timer3Timer() { idleWatch_->Timer3Timer(); }

QFrame* TmainForm::VideoPanel(int channel) const {
  const std::array<QFrame*, 4> panels{ui_->vPanel1, ui_->vPanel2, ui_->vPanel3, ui_->vPanel4};
  return channel >= 1 && channel <= 4 ? panels[channel - 1] : nullptr;
}

void TmainForm::FormCreate() {
  AppPaths::AppDir = FolderOf(platform::FileSystem::ExecutablePath());
  const std::string defaultSavePath = AppPaths::DefaultSavePath();
  AppPaths::SavePath = SettingsFile::ReadString("comm", "path", defaultSavePath);
  channels_->SetSavePath(AppPaths::SavePath);
  SetChecked(ui_->topcbx, SettingsFile::ReadBool("comm", "ontop", false), [this] { topcbxClick(); });
  platform::WindowPlacement::SetWindowPos(
      this, ui_->topcbx->isChecked() ? platform::WindowPlacement::HWND_TOPMOST : platform::WindowPlacement::HWND_NOTOPMOST);
  // An installed program's default folder lies in a videos folder that a new
  // account may not have yet; a folder the user chose is made one level only.
  if (AppPaths::SavePath == defaultSavePath) AppPaths::EnsureFolderWithParents(AppPaths::SavePath);
  else AppPaths::EnsureFolder(AppPaths::SavePath);
  AppPaths::EnsureFolder(AppPaths::RecordingsRoot());
  AppPaths::EnsureFolder(AppPaths::ScreenshotsFolder());
  setWindowTitle(QStringLiteral("Quadrovia"));
  timer3_->SetEnabled(true);
}

void TmainForm::topcbxClick() {
  const bool checked = ui_->topcbx->isChecked();
  SetFormStyle(checked);
  platform::WindowPlacement::SetWindowPos(
      this, checked ? platform::WindowPlacement::HWND_TOPMOST : platform::WindowPlacement::HWND_NOTOPMOST);
  SettingsFile::WriteBool("comm", "ontop", checked);
}

void TmainForm::sBitBtn3Click() {
  if (optionForm_) optionForm_->exec();
}

void TmainForm::FormCloseQuery() {
  if (optionForm_) optionForm_->ReleaseDeviceEnumerator();
  channels_->CloseChannels();
}

void TmainForm::SetFormStyle(bool stayOnTop) {
  stayOnTop_ = stayOnTop;
  // On a visible window the placement call applies it without a re-map.
  if (!isVisible()) setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
}

void TmainForm::FormResize() {
  const auto panels = PanelLayout::Compute(ui_->sPanel2->width(), ui_->sPanel2->height());
  for (int n = 1; n <= 4; ++n) VideoPanel(n)->setGeometry(PanelLayout::Shown(panels[n - 1]));
}

void TmainForm::AlignPanels() {
  const int w = width(), h = height();
  const int panelWidth = std::min(kControlPanelWidth, w);
  ui_->sPanel1->setGeometry(w - panelWidth, 0, panelWidth, h);
  ui_->sPanel2->setGeometry(0, 0, w - panelWidth, h);
  ApplyAnchors();
}

// Bottom-anchored controls keep their designer distance to the panel's bottom.
void TmainForm::ApplyAnchors() {
  for (QWidget* control : ui_->sPanel1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!control->property("anchorBottom").toBool()) continue;
    QVariant distance = control->property("bottomDistance");
    if (!distance.isValid()) {
      distance = kDesignPanelHeight - (control->y() + control->height());
      control->setProperty("bottomDistance", distance);
    }
    control->move(control->x(), ui_->sPanel1->height() - distance.toInt() - control->height());
  }
}

void TmainForm::NameUncaptionedControls() {
  for (QWidget* w : findChildren<QWidget*>()) {
    if (w->accessibleName().isEmpty() && (qobject_cast<QFrame*>(w) || w->metaObject() == &QWidget::staticMetaObject))
      w->setAccessibleName(w->objectName());
  }
}

void TmainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  AlignPanels();
  FormResize();
}

void TmainForm::showEvent(QShowEvent* event) {
  if (!centred_) {
    centred_ = true;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      move(frame.topLeft());
    }
  }
  QWidget::showEvent(event);
}

void TmainForm::closeEvent(QCloseEvent* event) {
  FormCloseQuery();
  event->accept();
  QWidget::closeEvent(event);
}

}  // namespace app
