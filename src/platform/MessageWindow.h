#pragma once
#include <QObject>
#include <functional>
#include <map>
#include <memory>

#include "platform/WindowMessages.h"

class QTimer;

namespace platform {

// A hidden window with its own window procedure, living on the user-interface
// thread. Posted messages are queued and delivered one at a time in the order
// they were posted (from any thread); sent messages run the procedure at once.
// Timers deliver WM_TIMER with the timer's identifier as wParam; a killed
// timer never ticks again, and ticks that fall due while a handler runs merge.
class MessageWindow : public QObject {
  Q_OBJECT
 public:
  using Procedure = std::function<LRESULT(UINT msg, WPARAM wParam, LPARAM lParam)>;

  // Without a procedure, messages go to WindowProc (override it) or to
  // DefWindowProc.
  explicit MessageWindow(Procedure procedure = {});
  ~MessageWindow() override;
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND Handle() const { return handle_; }
  void SetProcedure(Procedure procedure) { procedure_ = std::move(procedure); }

  LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam);
  bool Post(UINT msg, WPARAM wParam, LPARAM lParam) const;
  // As the classic call: an existing identifier is reset to the new period.
  bool SetTimer(WPARAM id, unsigned intervalMs);
  bool KillTimer(WPARAM id);
  bool HasTimer(WPARAM id) const { return timers_.count(id) != 0; }

  static LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

 protected:
  virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  HWND handle_;
  Procedure procedure_;
  std::map<WPARAM, std::unique_ptr<QTimer>> timers_;
};

// Handle-based calls, safe from any thread for posting: a message posted to a
// window that is destroyed before delivery is dropped.
bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Runs on the calling thread, which must be the user-interface thread; 0 for an
// unknown window.
LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
bool IsWindow(HWND window);

// The same name always gives the same number, in 0xC000..0xFFFF; 0 for an
// empty name or when the table is full.
UINT RegisterWindowMessage(const std::string& name);

}  // namespace platform
