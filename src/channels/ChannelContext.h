#pragma once
#include <array>
#include <functional>
#include <string>

class QComboBox;
class QPushButton;
class QWidget;

namespace media {
class TSysDevEnum;
}

namespace channels {

// What the channel commands read and change outside the channels: the main
// window's record button (its caption is the recording state), the settings
// dialog's device lists (the binding) and its device enumerator, and the save
// folder read at start-up.
struct ChannelContext {
  QWidget* mainWindow = nullptr;
  QPushButton* recBtn = nullptr;
  std::array<QComboBox*, 4> deviceLists{};
  std::function<media::TSysDevEnum&()> devices;
  std::string savePath;
};

}  // namespace channels
