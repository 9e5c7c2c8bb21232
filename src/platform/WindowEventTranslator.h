#pragma once
#include <vector>

#include "platform/WindowMessages.h"

class QEvent;
class QWidget;

namespace platform {

struct WindowMessage {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const WindowMessage&) const = default;
};

// Which window messages a Qt event on a top-level widget stands for, in the
// order a desktop sends them:
//  - minimized:               WM_SYSCOMMAND SC_MINIMIZE, WM_SIZE SIZE_MINIMIZED
//  - restored from minimized: WM_SYSCOMMAND SC_RESTORE, WM_SIZE SIZE_RESTORED
//                             (SIZE_MAXIMIZED when it comes back maximized)
//  - maximized:               WM_SIZE SIZE_MAXIMIZED
//  - un-maximized:            WM_SYSCOMMAND SC_RESTORE, WM_SIZE SIZE_RESTORED
//  - moved:                   WM_WINDOWPOSCHANGED
//  - resized (not minimized): WM_WINDOWPOSCHANGED, WM_SIZE with the kind and
//                             lParam = width | height << 16
//  - shown / hidden:          WM_SHOWWINDOW 1 / 0 with lParam 0 by a call, or
//                             SW_PARENTOPENING / SW_PARENTCLOSING when the
//                             window system did it (restore / minimize)
// Other events stand for nothing.
class WindowEventTranslator {
 public:
  static std::vector<WindowMessage> Translate(const QWidget& window, const QEvent& event);
};

}  // namespace platform
