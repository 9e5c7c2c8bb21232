#pragma once

class QString;
class QWidget;

namespace platform {

// The title a window's icon carries: what taskbars and pagers show for the
// window, where that differs from its caption. On X11 these are the
// window's WM_ICON_NAME and _NET_WM_ICON_NAME; Qt writes only the second,
// and taskbars that follow the older convention read the first.
class IconTitle {
 public:
  // Sets both now, and again whenever the window's native window is made
  // anew. User-interface thread.
  static void Apply(QWidget* window, const QString& title);
};

}  // namespace platform
