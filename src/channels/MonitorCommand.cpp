#include "channels/MonitorCommand.h"

#include <QPushButton>

#include "channels/ChannelContext.h"
#include "channels/ChannelSet.h"
#include "channels/DeviceBinding.h"
#include "channels/PreviewPath.h"
#include "media/TASFWriter.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "platform/Application.h"

namespace channels {

void MonitorCommand::playBtnClick() {
  try {
    for (int n = 1; n <= 4; ++n) {
      if (DeviceBinding::IsBound(context_.deviceLists[n - 1])) StartPreview(channels_[n]);
    }
  } catch (...) {
    platform::Application::ShowMessage(kFailureText, context_.mainWindow);
  }
}

void MonitorCommand::StartPreview(Channel& c) {
  c.graph->ResetGraph();
  c.writer->SetFilterGraph(nullptr);
  c.graph->SetActive(false);
  DeviceBinding::SourceFromBinding(context_.devices(), context_.deviceLists[c.number - 1], *c.filter);
  c.graph->SetActive(true);
  // Channel 2 previews without its grabber, which stays in the graph unconnected.
  RenderPreview(c, c.number != 2);
  c.graph->Play();
  context_.recBtn->setText(QStringLiteral("开始录像"));
}

}  // namespace channels
