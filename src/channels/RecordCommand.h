#pragma once
#include <QDateTime>
#include <functional>
#include <string>

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
class RecordCommand {
 public:
  using Clock = std::function<QDateTime()>;

  RecordCommand(ChannelSet& channels, ChannelContext& context, Clock now = &QDateTime::currentDateTime)
      : channels_(channels), context_(context), now_(std::move(now)) {}

  void recBtnClick();
  void StopAllChannels();
  // Blends the text over channel 1's video, red on a transparent ground.
  void OverlayText(const std::string& text);

  // "<save path>/录像/#N/", the folder of channel N's recordings.
  static std::string ChannelFolder(const std::string& savePath, int channel);
  // "<save path>/录像/#N/[yy年MM月dd日]hh时mm分.asf" for that local time.
  static std::string RecordingFile(const std::string& savePath, int channel, const QDateTime& at);

 private:
  void StartRecording(Channel& channel);

  ChannelSet& channels_;
  ChannelContext& context_;
  Clock now_;
};

}  // namespace channels
