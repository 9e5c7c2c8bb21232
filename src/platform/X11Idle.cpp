#include "platform/X11Idle.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace platform {

void* X11Idle::Display() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  ::Display* dpy = x11 ? x11->display() : nullptr;
  int event = 0, error = 0;
  return dpy && XScreenSaverQueryExtension(dpy, &event, &error) ? dpy : nullptr;
}

bool X11Idle::IdleMilliseconds(void* display, std::uint32_t& ms) {
  auto* dpy = static_cast<::Display*>(display);
  XScreenSaverInfo info{};
  if (!dpy || !XScreenSaverQueryInfo(dpy, DefaultRootWindow(dpy), &info)) return false;
  ms = static_cast<std::uint32_t>(info.idle);
  return true;
}

}  // namespace platform
