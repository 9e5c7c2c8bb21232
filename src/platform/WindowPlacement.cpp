#include "platform/WindowPlacement.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace platform {
namespace {

Display* X11Display() {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  return x11 ? x11->display() : nullptr;
}

void SendAboveState(Display* dpy, Window w, bool above) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = XInternAtom(dpy, "_NET_WM_STATE", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = above ? 1 : 0;  // _NET_WM_STATE_ADD / _REMOVE
  ev.xclient.data.l[1] = static_cast<long>(XInternAtom(dpy, "_NET_WM_STATE_ABOVE", False));
  ev.xclient.data.l[3] = 1;  // from a normal application
  XSendEvent(dpy, DefaultRootWindow(dpy), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  XFlush(dpy);
}

}  // namespace

bool WindowPlacement::SetWindowPos(QWidget* window, int insertAfter) {
  if (!window || (insertAfter != HWND_TOPMOST && insertAfter != HWND_NOTOPMOST)) return false;
  const bool above = insertAfter == HWND_TOPMOST;
  Display* dpy = X11Display();
  if (dpy && window->isVisible() && window->windowHandle()) {
    SendAboveState(dpy, static_cast<Window>(window->winId()), above);
    return true;
  }
  if (window->isVisible()) {
    // No window manager message to use: the flag change re-maps the window.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, above);
    window->show();
  } else {
    window->setWindowFlag(Qt::WindowStaysOnTopHint, above);
  }
  return true;
}

bool WindowPlacement::IsTopmost(QWidget* window) {
  Display* dpy = X11Display();
  if (!dpy || !window->windowHandle() || !window->isVisible())
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  Atom type;
  int format;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const Atom state = XInternAtom(dpy, "_NET_WM_STATE", False);
  const Atom aboveAtom = XInternAtom(dpy, "_NET_WM_STATE_ABOVE", False);
  bool above = false;
  if (XGetWindowProperty(dpy, static_cast<Window>(window->winId()), state, 0, 64, False, XA_ATOM, &type, &format,
                         &count, &after, &data) == Success && data) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) above = above || atoms[i] == aboveAtom;
    XFree(data);
  }
  return above;
}

}  // namespace platform
