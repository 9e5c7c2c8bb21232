#include "app/ToptionForm.h"

#include <QAction>
#include <QFileDialog>
#include <QStyle>

#include "app/AppPaths.h"
#include "app/FolderTypingLimit.h"
#include "app/SettingsFile.h"
#include "platform/Skin.h"
#include "channels/DeviceBinding.h"
#include "media/TSysDevEnum.h"
#include "media/framework/Identifiers.h"
#include "platform/Application.h"
#include "platform/FileSystem.h"
#include "ui_optionForm.h"

namespace app {
namespace {

QString PickWithDialog(QWidget* parent, const QString& start) {
  // Qt's own dialog: it can create a folder, whatever the desktop offers.
  return QFileDialog::getExistingDirectory(parent, QString(), start,
                                           QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

}  // namespace

ToptionForm::ToptionForm(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::optionForm>()), picker_(PickWithDialog) {
  ui_->setupUi(this);
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(13);
  setFont(font);
  setFixedSize(405, 257);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  platform::Skin::Apply(this);
  ui_->DirectoryEdit->setAccessibleName(QStringLiteral("DirectoryEdit"));
  folderLimit_ = FolderTypingLimit::Install(ui_->DirectoryEdit);
  QAction* browse = ui_->DirectoryEdit->addAction(style()->standardIcon(QStyle::SP_DirOpenIcon), QLineEdit::TrailingPosition);
  browse->setObjectName(QStringLiteral("DirectoryEditBrowse"));
  connect(browse, &QAction::triggered, this, [this] { platform::Application::RunHandler([this] { BrowseClick(); }, this); });
  connect(ui_->sBitBtn2, &QPushButton::clicked, this, [this] { platform::Application::RunHandler([this] { sBitBtn2Click(); }, this); });
  ui_->sBitBtn2->setFocus();
}

ToptionForm::~ToptionForm() = default;

QComboBox* ToptionForm::DeviceList(int channel) const {
  const std::array<QComboBox*, 4> lists{ui_->videoCap1, ui_->videoCap2, ui_->videoCap3, ui_->videoCap4};
  return channel >= 1 && channel <= 4 ? lists[channel - 1] : nullptr;
}

bool ToptionForm::AutoChecked() const { return ui_->autoCbx->isChecked(); }

media::TSysDevEnum& ToptionForm::DeviceEnumerator() {
  if (!devices_) devices_ = std::make_unique<media::TSysDevEnum>(media::CLSID_VideoInputDeviceCategory);
  return *devices_;
}

void ToptionForm::ReleaseDeviceEnumerator() { devices_.reset(); }

void ToptionForm::FormCreate() {
  channels::DeviceBinding::FillDeviceLists(DeviceEnumerator(),
                                           {ui_->videoCap1, ui_->videoCap2, ui_->videoCap3, ui_->videoCap4});
  folderLimit_->SetText(QString::fromStdString(SettingsFile::ReadString("comm", "path", AppPaths::DefaultSavePath())));
  ui_->autoCbx->setChecked(SettingsFile::ReadBool("comm", "auto", true));
}

void ToptionForm::sBitBtn2Click() {
  SettingsFile::WriteString("comm", "path", ui_->DirectoryEdit->text().toStdString());
  SettingsFile::WriteBool("comm", "auto", ui_->autoCbx->isChecked());
  accept();
}

void ToptionForm::BrowseClick() {
  const QString current = ui_->DirectoryEdit->text();
  const QString start = platform::FileSystem::DirectoryExists(current.toStdString()) ? current : QString();
  const QString chosen = picker_(this, start);
  if (!chosen.isEmpty()) ui_->DirectoryEdit->setText(chosen.left(FolderTypingLimit::kTyped));
}

}  // namespace app
