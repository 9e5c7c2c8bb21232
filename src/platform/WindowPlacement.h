#pragma once

class QWidget;

namespace platform {

// Window placement calls on top-level widgets.
class WindowPlacement {
 public:
  static constexpr int HWND_TOPMOST = -1;
  static constexpr int HWND_NOTOPMOST = -2;

  // Places the window topmost or not; on a mapped X11 window through the
  // window manager's state message (so the window is not re-mapped), otherwise
  // through the window flag that applies when it is next shown. The position
  // and size stay as they are.
  static bool SetWindowPos(QWidget* window, int insertAfter);
  // Whether the window manager has the window above others (X11); for other
  // platforms, the window flag.
  static bool IsTopmost(QWidget* window);
};

}  // namespace platform
