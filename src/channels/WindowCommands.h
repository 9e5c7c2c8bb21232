#pragma once
#include <string>

class QAction;
class QMenu;
class QObject;

namespace channels {

class ChannelSet;
struct Channel;
struct ChannelContext;

// The commands of one video window and of the recordings-folder button. The
// popup menu is shared by the four windows; its commands act on the window the
// menu was opened from (in normal display and in full screen), found by the
// window's component name.
class WindowCommands {
 public:
  WindowCommands(ChannelSet& channels, ChannelContext& context, QMenu& popupMenu);

  // Builds the menu's two items: "停止" and "视频属性".
  void CreateMenuItems();
  QAction* PropertiesItem() const { return propertiesItem_; }

  void PopupMenuPopup();
  void N1Click();
  void spshuxingClick();
  void VideoWindowClick(int channel);
  void VideoWindowDblClick(int channel);
  void sBitBtn2Click();
  static void OpenFolderInShell(const std::string& path);

 private:
  Channel* PopupChannel();

  ChannelSet& channels_;
  ChannelContext& context_;
  QMenu& menu_;
  QAction* stopItem_ = nullptr;
  QAction* propertiesItem_ = nullptr;
};

}  // namespace channels
