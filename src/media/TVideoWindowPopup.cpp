#include "media/TVideoWindowPopup.h"

#include <QMenu>
#include <QPointer>
#include <QVariant>

namespace media {
namespace {

constexpr const char* kProperty = "popupComponent";

}  // namespace

void TVideoWindowPopup::Record(QMenu& menu, QWidget* component) {
  menu.setProperty(kProperty, QVariant::fromValue(QPointer<QWidget>(component)));
}

QWidget* TVideoWindowPopup::ComponentOf(const QMenu& menu) {
  return menu.property(kProperty).value<QPointer<QWidget>>().data();
}

}  // namespace media
