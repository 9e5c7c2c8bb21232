#include "platform/MessageWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <atomic>
#include <mutex>
#include <string>
#include <unordered_map>

namespace platform {
namespace {

// Windows are found by handle so that a post from a streaming thread never
// touches a destroyed object: delivery looks the handle up on the UI thread.
struct WindowTable {
  std::mutex mutex;
  std::unordered_map<HWND, MessageWindow*> windows;
  std::atomic<HWND> next{1};
};

WindowTable& Table() {
  static WindowTable table;
  return table;
}

MessageWindow* Find(HWND handle) {
  std::lock_guard lock(Table().mutex);
  auto it = Table().windows.find(handle);
  return it == Table().windows.end() ? nullptr : it->second;
}

class PostedMessage : public QEvent {
 public:
  static QEvent::Type EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
  }
  PostedMessage(HWND window, UINT msg, WPARAM w, LPARAM l)
      : QEvent(EventType()), window(window), msg(msg), wParam(w), lParam(l) {}
  HWND window;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// One receiver for all posted messages keeps one global posting order.
class Dispatcher : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != PostedMessage::EventType()) return QObject::event(e);
    auto* m = static_cast<PostedMessage*>(e);
    if (MessageWindow* w = Find(m->window)) w->Send(m->msg, m->wParam, m->lParam);
    return true;
  }
};

Dispatcher* TheDispatcher() {
  // Created on first use, which is the user-interface thread: the first
  // message window is made there. Moved to the application's thread anyway.
  static Dispatcher* dispatcher = [] {
    auto* d = new Dispatcher;
    if (QCoreApplication::instance()) d->moveToThread(QCoreApplication::instance()->thread());
    return d;
  }();
  return dispatcher;
}

}  // namespace

MessageWindow::MessageWindow(Procedure procedure)
    : handle_(Table().next.fetch_add(1)), procedure_(std::move(procedure)) {
  TheDispatcher();
  std::lock_guard lock(Table().mutex);
  Table().windows[handle_] = this;
}

MessageWindow::~MessageWindow() {
  timers_.clear();
  std::lock_guard lock(Table().mutex);
  Table().windows.erase(handle_);
}

LRESULT MessageWindow::Send(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (procedure_) return procedure_(msg, wParam, lParam);
  return WindowProc(msg, wParam, lParam);
}

bool MessageWindow::Post(UINT msg, WPARAM wParam, LPARAM lParam) const {
  return PostMessage(handle_, msg, wParam, lParam);
}

bool MessageWindow::SetTimer(WPARAM id, unsigned intervalMs) {
  auto& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::CoarseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, this, [this, id] {
      // The handler may kill this very timer; look it up again afterwards.
      if (timers_.count(id)) Send(WM_TIMER, id, 0);
    });
  }
  timer->start(static_cast<int>(intervalMs == 0 ? 1 : intervalMs));
  return true;
}

bool MessageWindow::KillTimer(WPARAM id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return false;
  it->second->stop();
  // Deleting a QTimer from inside its own timeout is unsafe; defer it.
  it->second.release()->deleteLater();
  timers_.erase(it);
  return true;
}

LRESULT MessageWindow::DefWindowProc(UINT, WPARAM, LPARAM) { return 0; }

LRESULT MessageWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(msg, wParam, lParam);
}

bool PostMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!IsWindow(window)) return false;
  QCoreApplication::postEvent(TheDispatcher(), new PostedMessage(window, msg, wParam, lParam));
  return true;
}

LRESULT SendMessage(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  MessageWindow* w = Find(window);
  return w ? w->Send(msg, wParam, lParam) : 0;
}

bool IsWindow(HWND window) { return Find(window) != nullptr; }

UINT RegisterWindowMessage(const std::string& name) {
  static std::mutex mutex;
  static std::unordered_map<std::string, UINT> numbers;
  if (name.empty()) return 0;
  std::lock_guard lock(mutex);
  auto it = numbers.find(name);
  if (it != numbers.end()) return it->second;
  const UINT next = 0xC000 + static_cast<UINT>(numbers.size());
  if (next > 0xFFFF) return 0;
  numbers.emplace(name, next);
  return next;
}

}  // namespace platform
