#pragma once
#include <QMenu>
#include <QPointer>

namespace tray {

// A popup menu as components show it: it opens by itself on the component's
// trigger while AutoPopup is on, remembers which component opened it last,
// and its default item (QMenu's default action) is the one a double click
// chooses.
class TPopupMenu : public QMenu {
  Q_OBJECT
 public:
  explicit TPopupMenu(QWidget* parent = nullptr) : QMenu(parent) {}

  bool AutoPopup = true;
  QObject* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(QObject* component) { popupComponent_ = component; }

 private:
  QPointer<QObject> popupComponent_;
};

}  // namespace tray
