#include "channels/ChannelSet.h"

#include <QFrame>
#include <QLayout>

#include "media/TASFWriter.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "media/TSampleGrabber.h"
#include "media/TVideoWindow.h"

namespace channels {
namespace {

constexpr unsigned kStreamPort = 3333;
constexpr unsigned kStreamClients = 8;

std::string Numbered(const char* name, int n) { return name + std::to_string(n); }

void MakeChannel(Channel& c, int n, QFrame* panel, QMenu* popupMenu) {
  c.number = n;
  c.panel = panel;
  c.graph = std::make_unique<media::TFilterGraph>(Numbered("FilterGraph", n));
  c.graph->SetMode(media::gmCapture);
  c.graph->SetGraphEdit(true);
  c.videoWindow = new media::TVideoWindow(panel, Numbered("VideoWindow", n));
  panel->layout()->addWidget(c.videoWindow);
  c.videoWindow->SetMode(media::vmVMR);
  c.videoWindow->VMROptions().SetMode(media::vmrWindowed);
  c.videoWindow->SetPopupMenu(popupMenu);
  c.videoWindow->SetFilterGraph(c.graph.get());
  c.filter = std::make_unique<media::TFilter>(Numbered("Filter", n));
  c.filter->SetFilterGraph(c.graph.get());
  c.grabber = std::make_unique<media::TSampleGrabber>(Numbered("SampleGrabber", n));
  c.grabber->SetFilterGraph(c.graph.get());
  c.writer = std::make_unique<media::TASFWriter>(Numbered("ASFWriter", n));
  c.writer->SetProfile(media::wmp_V80_56VideoOnly);
  c.writer->SetPort(kStreamPort);
  c.writer->SetMaxUsers(kStreamClients);
}

}  // namespace

Channel::Channel() = default;
Channel::~Channel() = default;

ChannelSet::ChannelSet(const std::array<QFrame*, 4>& panels, QMenu* popupMenu) {
  for (int n = 1; n <= 4; ++n) MakeChannel(channels_[n - 1], n, panels[n - 1], popupMenu);
}

// Members leave their graphs before the graphs go; the video windows are
// destroyed with their panels.
ChannelSet::~ChannelSet() {
  for (Channel& c : channels_) {
    c.writer.reset();
    c.grabber.reset();
    c.filter.reset();
    if (c.videoWindow) c.videoWindow->SetFilterGraph(nullptr);
    c.graph.reset();
  }
}

Channel* ChannelSet::ByWindowName(const std::string& name) {
  for (Channel& c : channels_)
    if (c.videoWindow && c.videoWindow->Name() == name) return &c;
  return nullptr;
}

}  // namespace channels
