#pragma once
#include <QDateTime>
#include <QTimer>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "media/framework/Result.h"

namespace channels {

class ChannelSet;
struct Channel;
struct ChannelContext;

// The record command. Its only state is the record button's caption:
// "开始录像" (not recording) or "停止录像" (recording). Starting rebuilds every
// active channel so its capture source feeds both a writer, which writes a new
// file named after the minute in the channel's folder and serves it on the
// network, and the video window; channel 1 also gets the recording mark.
// Stopping ends every active channel, preview included. Errors end the
// command where they happen and reach the default error display.
//
// A channel whose file cannot be created or written stops recording on its
// own (its writer reports EC_ERROR_STILLPLAYING) while its live view goes
// on; the user is told which channel and file stopped and why, in one
// message for the failures that come within `gatherMs` of each other, and
// when no channel records any more the caption returns to "开始录像".
class RecordCommand {
 public:
  using Clock = std::function<QDateTime()>;

  RecordCommand(ChannelSet& channels, ChannelContext& context, Clock now = &QDateTime::currentDateTime,
                int gatherMs = 2000);

  void recBtnClick();
  void StopAllChannels();
  // Blends the text over channel 1's video, red on a transparent ground.
  void OverlayText(const std::string& text);

  // "<save path>/录像/#N/", the folder of channel N's recordings.
  static std::string ChannelFolder(const std::string& savePath, int channel);
  // "<save path>/录像/#N/[yy年MM月dd日]hh时mm分.asf" for that local time.
  static std::string RecordingFile(const std::string& savePath, int channel, const QDateTime& at);
  // "通道N录像已停止：<reason>。" and the file's path on the next line.
  static std::string StoppedText(int channel, media::HRESULT result, const std::string& file);

  // Whether channel N's writer is still writing its file.
  bool Records(int channel) const;

 private:
  void StartRecording(Channel& channel);
  void WriteFailed(int channel, media::HRESULT result);
  void ReportFailures();
  void PlaceMark(const std::string& text);

  ChannelSet& channels_;
  ChannelContext& context_;
  Clock now_;
  std::array<bool, 5> failed_{};  // by channel number: its recording has stopped
  std::vector<std::string> pendingReports_;
  QTimer reportTimer_;
  bool reporting_ = false;
};

}  // namespace channels
