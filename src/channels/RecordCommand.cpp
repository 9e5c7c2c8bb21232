#include "channels/RecordCommand.h"

#include <QPushButton>

#include "channels/ChannelContext.h"
#include "channels/ChannelSet.h"
#include "channels/PreviewPath.h"
#include "media/TASFWriter.h"
#include "media/TFilterGraph.h"
#include "media/TVMRBitmap.h"
#include "media/TVideoWindow.h"
#include "media/framework/FileResults.h"
#include "platform/Application.h"
#include "platform/FileSystem.h"

namespace channels {
namespace {

const QString kStart = QStringLiteral("开始录像");
const QString kStop = QStringLiteral("停止录像");
// Silver is the colour key: silver pixels of the overlay are transparent.
const media::COLORREF kSilver = media::gdi::RGB(192, 192, 192);
const media::COLORREF kRed = media::gdi::RGB(255, 0, 0);

const char* Reason(media::HRESULT result) {
  if (result == media::STG_E_MEDIUMFULL) return "磁盘空间不足";
  if (result == media::HRESULT_FROM_WIN32(media::ERROR_PATH_NOT_FOUND)) return "录像文件夹不存在";
  if (result == media::HRESULT_FROM_WIN32(media::ERROR_FILE_NOT_FOUND)) return "录像文件或其文件夹已被删除";
  if (result == media::E_ACCESSDENIED) return "没有写入录像文件夹的权限";
  if (result == media::HRESULT_FROM_WIN32(media::ERROR_WRITE_PROTECT)) return "磁盘是只读的";
  return "无法写入磁盘，磁盘可能已被移除";
}

}  // namespace

std::string RecordCommand::ChannelFolder(const std::string& savePath, int channel) {
  return savePath + "/录像/#" + std::to_string(channel) + "/";
}

RecordCommand::RecordCommand(ChannelSet& channels, ChannelContext& context, Clock now, int gatherMs)
    : channels_(channels), context_(context), now_(std::move(now)) {
  reportTimer_.setSingleShot(true);
  reportTimer_.setInterval(gatherMs);
  QObject::connect(&reportTimer_, &QTimer::timeout, [this] { ReportFailures(); });
  for (int n = 1; n <= 4; ++n)
    channels_[n].graph->OnGraphErrorStillPlaying = [this, n](media::TFilterGraph&, media::HRESULT result) {
      WriteFailed(n, result);
    };
}

std::string RecordCommand::StoppedText(int channel, media::HRESULT result, const std::string& file) {
  return "通道" + std::to_string(channel) + "录像已停止：" + Reason(result) + "。\n" + file;
}

bool RecordCommand::Records(int n) const {
  const Channel& c = channels_[n];
  return c.graph->Active() && c.writer->FilterGraph() == c.graph.get() && !failed_[n];
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
  failed_[c.number] = false;
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

// The writer's file is gone for this run; the graph, and with it the live
// view, goes on as it is.
void RecordCommand::WriteFailed(int n, media::HRESULT result) {
  if (!Records(n)) return;
  failed_[n] = true;
  pendingReports_.push_back(StoppedText(n, result, channels_[n].writer->FileName()));
  if (n == 1) PlaceMark("");
  bool any = false;
  for (int k = 1; k <= 4; ++k) any = any || Records(k);
  if (!any) context_.recBtn->setText(kStart);
  if (!reporting_) reportTimer_.start();
}

// The message box runs its own loop: failures that come while it is open
// are told in the next one.
void RecordCommand::ReportFailures() {
  if (reporting_ || pendingReports_.empty()) return;
  reporting_ = true;
  std::string text;
  for (const std::string& report : pendingReports_) text += (text.empty() ? "" : "\n") + report;
  pendingReports_.clear();
  platform::Application::ShowMessage(text, context_.mainWindow);
  reporting_ = false;
  if (!pendingReports_.empty()) reportTimer_.start();
}

void RecordCommand::OverlayText(const std::string& text) {
  if (!text.empty()) PlaceMark(text);
}

// An empty text leaves only the transparent ground: the mark is taken away.
void RecordCommand::PlaceMark(const std::string& text) {
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
  if (!text.empty()) canvas.TextOut(0, 0, text);
  overlay.PlaceOverlay(0.0f, 0.0f, 1.0f, 1.0f, 0.5f, false);
}

}  // namespace channels
