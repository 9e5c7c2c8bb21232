#pragma once
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class optionForm;
}
class QComboBox;

namespace media {
class TSysDevEnum;
}

namespace app {

class FolderTypingLimit;

// The settings dialog. Created once at start-up and kept hidden; its four
// device lists are the channel binding and its idle box is read by the idle
// watch directly, so both matter while the dialog is not shown.
class ToptionForm : public QDialog {
  Q_OBJECT
 public:
  // Picks a folder starting at `start` ("" when it does not exist); "" for
  // cancel. Replaceable so tests need no modal picker.
  using FolderPicker = std::function<QString(QWidget* parent, const QString& start)>;

  explicit ToptionForm(QWidget* parent = nullptr);
  ~ToptionForm() override;

  Ui::optionForm& ui() { return *ui_; }
  QComboBox* DeviceList(int channel) const;
  bool AutoChecked() const;

  void FormCreate();
  void sBitBtn2Click();
  void BrowseClick();
  void SetFolderPicker(FolderPicker picker) { picker_ = std::move(picker); }

  // The video input devices behind the lists, enumerated when the dialog is
  // created. The main window's close query releases it; asked for again after
  // that (a log-off that was cancelled), it enumerates afresh, so the binding
  // by position still finds the devices.
  media::TSysDevEnum& DeviceEnumerator();
  void ReleaseDeviceEnumerator();
  bool HasDeviceEnumerator() const { return devices_ != nullptr; }

 private:
  std::unique_ptr<Ui::optionForm> ui_;
  FolderPicker picker_;
  FolderTypingLimit* folderLimit_ = nullptr;  // owned by the folder field
  std::unique_ptr<media::TSysDevEnum> devices_;
};

}  // namespace app
