#include "platform/IconTitle.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {
namespace {

Display* X11Display() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

// WM_ICON_NAME in the encoding the convention asks for: plain STRING when
// the title is Latin-1, compound text otherwise.
void WriteIconName(QWidget* window) {
  Display* dpy = X11Display();
  if (!dpy || !window->testAttribute(Qt::WA_WState_Created)) return;
  QByteArray utf8 = window->windowIconText().toUtf8();
  char* list[] = {utf8.data()};
  XTextProperty property{};
  if (Xutf8TextListToTextProperty(dpy, list, 1, XStdICCTextStyle, &property) < Success) return;
  XSetWMIconName(dpy, static_cast<Window>(window->winId()), &property);
  XFree(property.value);
  XFlush(dpy);
}

// Child of the window it watches; one per window.
class IconNameWriter : public QObject {
 public:
  explicit IconNameWriter(QWidget* window) : QObject(window) {
    setObjectName(QStringLiteral("IconNameWriter"));
    window->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WinIdChange) WriteIconName(static_cast<QWidget*>(watched));
    return false;
  }
};

}  // namespace

void IconTitle::Apply(QWidget* window, const QString& title) {
  if (!window) return;
  window->setWindowIconText(title);
  if (!window->findChild<IconNameWriter*>(QStringLiteral("IconNameWriter"), Qt::FindDirectChildrenOnly))
    new IconNameWriter(window);
  WriteIconName(window);
}

}  // namespace platform
