#pragma once
#include <functional>

#include "platform/WindowMessages.h"

class QWidget;

namespace platform {

// The application object's window side. The main form's own top-level window
// carries the taskbar button, so it is also the application window: hiding it
// takes the button away. The application hooks see every message of that
// window (translated from its Qt events) and the broadcasts, before the
// default handling. User-interface thread only.
class ApplicationWindow {
 public:
  // true: the message is handled and goes no further.
  using Hook = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam)>;

  // The first form the start-up makes; closing it ends the program. nullptr
  // forgets it (tests).
  static void SetMainForm(QWidget* form);
  static QWidget* MainForm();
  static QWidget* Window() { return MainForm(); }

  // Hooks run the last added first. Removing is safe from inside a hook.
  static int AddHook(Hook hook);
  static void RemoveHook(int id);
  static bool RunHooks(UINT msg, WPARAM wParam, LPARAM lParam);
  // A message sent to every top-level window, such as a registered one.
  static void Broadcast(UINT msg, WPARAM wParam, LPARAM lParam);

  // When the application window is minimized: back to the size it had before
  // (maximized stays maximized).
  static void Restore();
  static void ProcessMessages();

  // Whether the start-up shows the main form when the message loop starts;
  // true unless a component cleared it.
  static bool ShowMainForm();
  static void SetShowMainForm(bool show);
  // The message loop has been told to end.
  static bool Terminated();
};

}  // namespace platform
