#pragma once

namespace channels {

class ChannelSet;
struct Channel;
struct ChannelContext;

// The monitor command: rebuilds the graph of every bound channel, in channel
// order, as a preview graph from the capture source to the video window, and
// runs it. Any recording of a channel ends (its writer leaves the graph). The
// first error of any channel ends the whole command with one fixed message;
// channels started before it keep running.
class MonitorCommand {
 public:
  static constexpr const char* kFailureText = "开启摄像头时发生错误，请检查摄像头是否已被其他程序开启。";

  MonitorCommand(ChannelSet& channels, ChannelContext& context) : channels_(channels), context_(context) {}
  void playBtnClick();

 private:
  void StartPreview(Channel& channel);

  ChannelSet& channels_;
  ChannelContext& context_;
};

}  // namespace channels
