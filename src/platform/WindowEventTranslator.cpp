#include "platform/WindowEventTranslator.h"

#include <QEvent>
#include <QWindowStateChangeEvent>
#include <QWidget>

namespace platform {
namespace {

WPARAM SizeKind(Qt::WindowStates state) {
  if (state & Qt::WindowMinimized) return SIZE_MINIMIZED;
  return state & (Qt::WindowMaximized | Qt::WindowFullScreen) ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

LPARAM SizeParam(const QWidget& window) {
  return static_cast<LPARAM>((window.width() & 0xFFFF) | ((window.height() & 0xFFFF) << 16));
}

std::vector<WindowMessage> StateChange(const QWidget& window, Qt::WindowStates before) {
  const Qt::WindowStates now = window.windowState();
  const WindowMessage size{WM_SIZE, SizeKind(now), SizeParam(window)};
  const bool wasMinimized = before & Qt::WindowMinimized, isMinimized = now & Qt::WindowMinimized;
  if (isMinimized && !wasMinimized) return {{WM_SYSCOMMAND, SC_MINIMIZE, 0}, {WM_SIZE, SIZE_MINIMIZED, 0}};
  if (wasMinimized && !isMinimized) return {{WM_SYSCOMMAND, SC_RESTORE, 0}, size};
  if (isMinimized) return {};
  const bool wasLarge = SizeKind(before) == SIZE_MAXIMIZED, isLarge = SizeKind(now) == SIZE_MAXIMIZED;
  if (isLarge && !wasLarge) return {size};
  if (wasLarge && !isLarge) return {{WM_SYSCOMMAND, SC_RESTORE, 0}, size};
  return {};
}

}  // namespace

std::vector<WindowMessage> WindowEventTranslator::Translate(const QWidget& window, const QEvent& event) {
  switch (event.type()) {
    case QEvent::WindowStateChange:
      return StateChange(window, static_cast<const QWindowStateChangeEvent&>(event).oldState());
    case QEvent::Show:
      return {{WM_SHOWWINDOW, 1, event.spontaneous() ? SW_PARENTOPENING : 0}};
    case QEvent::Hide:
      return {{WM_SHOWWINDOW, 0, event.spontaneous() ? SW_PARENTCLOSING : 0}};
    case QEvent::Move:
      return {{WM_WINDOWPOSCHANGED, 0, 0}};
    case QEvent::Resize:
      if (window.isMinimized()) return {};
      return {{WM_WINDOWPOSCHANGED, 0, 0}, {WM_SIZE, SizeKind(window.windowState()), SizeParam(window)}};
    default:
      return {};
  }
}

}  // namespace platform
