#pragma once
#include <QObject>
#include <functional>
#include <vector>

#include "platform/WindowMessages.h"

class QWidget;

namespace platform {

// Gives a top-level widget a window procedure chain. Its Qt window events are
// translated to window messages (WindowEventTranslator); each message runs
// through the procedures, the last added first, and then, when the widget is
// the application window (ApplicationWindow), through the application hooks.
// A procedure that handles a message stops it: later procedures, the hooks
// and the rest of the event's messages do not see it, and Qt's own handling
// of the event is skipped (what the window system already did, such as
// minimizing, stays done). User-interface thread only.
class WindowMessageFilter : public QObject {
  Q_OBJECT
 public:
  // true: handled, with result set; false: the message goes on.
  using Procedure = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

  // The window's filter, made on first use; the window owns it.
  static WindowMessageFilter& For(QWidget* window);

  int AddProcedure(Procedure procedure);
  // Safe from inside a procedure, also for the running one.
  void RemoveProcedure(int id);
  // true when a procedure or hook handled the message.
  bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit WindowMessageFilter(QWidget* window);
  bool RunProcedures(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  QWidget* window_;
  std::vector<std::pair<int, Procedure>> procedures_;
  int nextId_ = 1;
};

}  // namespace platform
