#pragma once
#include <array>

#include "channels/Channel.h"

class QFrame;
class QMenu;

namespace channels {

// The four channels with their components as the main window designs them:
// graphs in capture mode, published for a graph viewer, inactive; the video
// windows in mixing-renderer windowed mode, black, with the shared popup
// menu; the grabbers on RGB24; the writers on the 56 kbps video-only profile,
// port 3333, eight clients, and in no graph.
class ChannelSet {
 public:
  ChannelSet(const std::array<QFrame*, 4>& panels, QMenu* popupMenu);
  ~ChannelSet();

  Channel& operator[](int number) { return channels_.at(number - 1); }
  // The channel whose video window has this component name, or nullptr.
  Channel* ByWindowName(const std::string& name);

 private:
  std::array<Channel, 4> channels_;
};

}  // namespace channels
