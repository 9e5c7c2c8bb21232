#include "channels/WindowCommands.h"

#include <QFrame>
#include <QMenu>

#include "channels/ChannelContext.h"
#include "channels/ChannelSet.h"
#include "media/FilterPropertyPages.h"
#include "media/InterfaceCast.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "media/TVideoWindow.h"
#include "media/TVideoWindowPopup.h"
#include "platform/Application.h"
#include "platform/ShellExecute.h"
#include "platform/Skin.h"

namespace channels {

WindowCommands::WindowCommands(ChannelSet& channels, ChannelContext& context, QMenu& popupMenu)
    : channels_(channels), context_(context), menu_(popupMenu) {}

void WindowCommands::CreateMenuItems() {
  stopItem_ = menu_.addAction(QStringLiteral("停止"));
  stopItem_->setObjectName(QStringLiteral("N1"));
  propertiesItem_ = menu_.addAction(QStringLiteral("视频属性"));
  propertiesItem_->setObjectName(QStringLiteral("spshuxing"));
  const auto run = [this](void (WindowCommands::*handler)()) {
    return [this, handler] { platform::Application::RunHandler([this, handler] { (this->*handler)(); }, context_.mainWindow); };
  };
  QObject::connect(stopItem_, &QAction::triggered, &menu_, run(&WindowCommands::N1Click));
  QObject::connect(propertiesItem_, &QAction::triggered, &menu_, run(&WindowCommands::spshuxingClick));
  QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, run(&WindowCommands::PopupMenuPopup));
}

Channel* WindowCommands::PopupChannel() {
  auto* window = dynamic_cast<media::TVideoWindow*>(media::TVideoWindowPopup::ComponentOf(menu_));
  return window ? channels_.ByWindowName(window->Name()) : nullptr;
}

void WindowCommands::PopupMenuPopup() {
  Channel* c = PopupChannel();
  if (c) propertiesItem_->setEnabled(c->graph->Active());
}

void WindowCommands::N1Click() {
  Channel* c = PopupChannel();
  if (!c || !c->graph->Active()) return;
  c->graph->Stop();
  c->graph->SetActive(false);
}

void WindowCommands::spshuxingClick() {
  Channel* c = PopupChannel();
  if (!c) return;
  auto filter = media::InterfaceCast<media::IBaseFilter>(*c->filter);
  media::ShowFilterPropertyPages(context_.mainWindow, filter, media::pkFilterPages);
}

void WindowCommands::VideoWindowClick(int channel) {
  for (int n = 1; n <= 4; ++n) platform::Skin::SetSection(channels_[n].panel, n == channel ? "PROGRESSV" : "PANEL_LOW");
}

void WindowCommands::VideoWindowDblClick(int channel) {
  media::TVideoWindow& window = *channels_[channel].videoWindow;
  window.SetFullScreen(!window.FullScreen());
}

void WindowCommands::sBitBtn2Click() { OpenFolderInShell(context_.savePath + "/录像/"); }

void WindowCommands::OpenFolderInShell(const std::string& path) {
  platform::ShellExecute::Open(path, platform::ShellExecute::SW_SHOWMAXIMIZED);
}

}  // namespace channels
