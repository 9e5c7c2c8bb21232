#pragma once
#include <QObject>
#include <array>
#include <functional>
#include <memory>

#include "channels/ChannelContext.h"

class QComboBox;
class QFrame;
class QMenu;
class QPushButton;
class QWidget;

namespace channels {

class ChannelSet;
class MonitorCommand;
class RecordCommand;
class WindowCommands;

// The channels of the main window with their commands: what the control
// panel's buttons, the video windows and the popup menu run.
class ChannelControl {
 public:
  ChannelControl(QWidget* mainWindow, const std::array<QFrame*, 4>& panels, QPushButton* recBtn);
  ~ChannelControl();

  // The settings dialog's device lists and enumerator, known once it exists.
  void SetBinding(const std::array<QComboBox*, 4>& deviceLists, std::function<media::TSysDevEnum&()> devices);
  void SetSavePath(const std::string& savePath) { context_.savePath = savePath; }

  void playBtnClick();
  void recBtnClick();
  void sBitBtn2Click();
  // The close query's channel steps: every bound channel reset and inactive.
  void CloseChannels();

  ChannelSet& Channels() { return *channels_; }
  QMenu& PopupMenu() { return *popupMenu_; }
  WindowCommands& Windows() { return *windows_; }
  RecordCommand& Recording() { return *record_; }

 private:
  void ConnectWindows();

  ChannelContext context_;
  std::unique_ptr<QMenu> popupMenu_;
  std::unique_ptr<ChannelSet> channels_;
  std::unique_ptr<MonitorCommand> monitor_;
  std::unique_ptr<RecordCommand> record_;
  std::unique_ptr<WindowCommands> windows_;
};

}  // namespace channels
