#include "channels/RecordCommand.h"

#include <QPushButton>

#include "channels/ChannelContext.h"
#include "channels/ChannelSet.h"
#include "channels/PreviewPath.h"
#include "media/TASFWriter.h"
#include "media/TFilterGraph.h"
#include "media/TVMRBitmap.h"
#include "media/TVideoWindow.h"
#include "platform/FileSystem.h"

namespace channels {
namespace {

const QString kStart = QStringLiteral("开始录像");
const QString kStop = QStringLiteral("停止录像");
// Silver is the colour key: silver pixels of the overlay are transparent.
const media::COLORREF kSilver = media::gdi::RGB(192, 192, 192);
const media::COLORREF kRed = media::gdi::RGB(255, 0, 0);

}  // namespace

std::string RecordCommand::ChannelFolder(const std::string& savePath, int channel) {
  return savePath + "/录像/#" + std::to_string(channel) + "/";
}

std::string RecordCommand::RecordingFile(const std::string& savePath, int channel, const QDateTime& at) {
  const QString stamp = at.toString(QStringLiteral("[yy年MM月dd日]hh时mm分"));
  return ChannelFolder(savePath, channel) + stamp.toStdString() + ".asf";
}

void RecordCommand::recBtnClick() {
  if (context_.recBtn->text() == kStop) {
    StopAllChannels();
    context_.recBtn->setText(kStart);
    return;
  }
  for (int n = 1; n <= 4; ++n) {
    const std::string folder = ChannelFolder(context_.savePath, n);
    if (!platform::FileSystem::DirectoryExists(folder)) platform::FileSystem::CreateDirectory(folder);
  }
  for (int n = 1; n <= 4; ++n) {
    if (channels_[n].graph->Active()) StartRecording(channels_[n]);
  }
}

void RecordCommand::StartRecording(Channel& c) {
  c.graph->ResetGraph();
  c.graph->SetActive(false);
  c.writer->SetFileName(RecordingFile(context_.savePath, c.number, now_()));
  c.writer->SetFilterGraph(c.graph.get());
  c.graph->SetActive(true);
  RenderCapture(c);
  RenderPreview(c, false);
  c.graph->Play();
  if (c.number != 1) return;
  OverlayText("●");
  context_.recBtn->setText(kStop);
}

void RecordCommand::StopAllChannels() {
  for (int n = 1; n <= 4; ++n) {
    Channel& c = channels_[n];
    if (!c.graph->Active()) continue;
    c.graph->Stop();
    c.graph->SetActive(false);
    c.writer->SetFilterGraph(nullptr);
  }
}

void RecordCommand::OverlayText(const std::string& text) {
  if (text.empty()) return;
  media::TVideoWindow& window = *channels_[1].videoWindow;
  media::TVMRBitmap overlay(&window);
  overlay.MakeBlankBitmap(window.width(), window.height(), media::gdi::pf24bit, kSilver);
  overlay.SetSourceRect(overlay.Surface().ClipRect());
  overlay.SetOverlayOptions(overlay.OverlayOptions() | media::OverlayBit(media::ooColorKey));
  overlay.SetKeyColor(kSilver);
  media::gdi::TCanvas& canvas = overlay.Surface();
  canvas.Brush.Color = kSilver;
  canvas.Font.Color = kRed;
  canvas.Font.Style = media::gdi::FontStyles(media::gdi::fsBold);
  canvas.Font.Size = 18;
  canvas.Font.Name = "宋体";
  canvas.TextOut(0, 0, text);
  overlay.PlaceOverlay(0.0f, 0.0f, 1.0f, 1.0f, 0.5f, false);
}

}  // namespace channels
