#pragma once
#include <QIcon>
#include <QObject>
#include <vector>

namespace tray {

// An ordered list of icons that components refer to (the tray icon's
// animation). Components that use it forget it when it is destroyed.
class TImageList : public QObject {
  Q_OBJECT
 public:
  explicit TImageList(QObject* owner = nullptr) : QObject(owner) {}

  int Count() const { return static_cast<int>(icons_.size()); }
  void Add(const QIcon& icon) { icons_.push_back(icon); }
  void Clear() { icons_.clear(); }
  // A null icon for an index outside the list.
  QIcon GetIcon(int index) const;

 private:
  std::vector<QIcon> icons_;
};

}  // namespace tray
