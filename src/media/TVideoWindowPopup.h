#pragma once

class QMenu;
class QWidget;

namespace media {

// The record of which control a popup menu was last opened from, kept with
// the menu, so that the menu's commands know which window they act on. The
// record forgets a control that is destroyed. User-interface thread.
class TVideoWindowPopup {
 public:
  static void Record(QMenu& menu, QWidget* component);
  // Nil before the menu was first opened from a control.
  static QWidget* ComponentOf(const QMenu& menu);
};

}  // namespace media
