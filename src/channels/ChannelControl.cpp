#include "channels/ChannelControl.h"

#include <QMenu>

#include "channels/ChannelSet.h"
#include "channels/DeviceBinding.h"
#include "channels/MonitorCommand.h"
#include "channels/RecordCommand.h"
#include "channels/WindowCommands.h"
#include "media/TFilterGraph.h"
#include "media/TVideoWindow.h"
#include "platform/Application.h"

namespace channels {

ChannelControl::ChannelControl(QWidget* mainWindow, const std::array<QFrame*, 4>& panels, QPushButton* recBtn)
    : popupMenu_(std::make_unique<QMenu>(mainWindow)) {
  context_.mainWindow = mainWindow;
  context_.recBtn = recBtn;
  popupMenu_->setObjectName(QStringLiteral("PopupMenu"));
  channels_ = std::make_unique<ChannelSet>(panels, popupMenu_.get());
  monitor_ = std::make_unique<MonitorCommand>(*channels_, context_);
  record_ = std::make_unique<RecordCommand>(*channels_, context_);
  windows_ = std::make_unique<WindowCommands>(*channels_, context_, *popupMenu_);
  windows_->CreateMenuItems();
  ConnectWindows();
}

ChannelControl::~ChannelControl() = default;

void ChannelControl::SetBinding(const std::array<QComboBox*, 4>& deviceLists,
                                std::function<media::TSysDevEnum&()> devices) {
  context_.deviceLists = deviceLists;
  context_.devices = std::move(devices);
}

void ChannelControl::ConnectWindows() {
  for (int n = 1; n <= 4; ++n) {
    media::TVideoWindow& window = *(*channels_)[n].videoWindow;
    window.OnClick = [this, n](media::TVideoWindow&) { platform::Application::RunHandler([this, n] { windows_->VideoWindowClick(n); }); };
    window.OnDblClick = [this, n](media::TVideoWindow&) {
      platform::Application::RunHandler([this, n] { windows_->VideoWindowDblClick(n); });
    };
  }
}

void ChannelControl::playBtnClick() { monitor_->playBtnClick(); }
void ChannelControl::recBtnClick() { record_->recBtnClick(); }
void ChannelControl::sBitBtn2Click() { windows_->sBitBtn2Click(); }

// A channel whose reset fails is still taken down, and the others after it:
// the program is closing, and taking a graph down is what completes its file.
void ChannelControl::CloseChannels() {
  for (int n = 1; n <= 4; ++n) {
    if (!DeviceBinding::IsBound(context_.deviceLists[n - 1])) continue;
    media::TFilterGraph& graph = *(*channels_)[n].graph;
    platform::Application::RunHandler([&graph] { graph.ResetGraph(); }, context_.mainWindow);
    platform::Application::RunHandler([&graph] { graph.SetActive(false); }, context_.mainWindow);
  }
}

}  // namespace channels
