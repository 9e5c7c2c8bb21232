#include "platform/InputIdle.h"

#include <QCoreApplication>
#include <QEvent>
#include <ctime>

#include "platform/X11Idle.h"

namespace platform {
namespace {

std::uint32_t MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
  return static_cast<std::uint32_t>(ms);
}

// Notes the tick of every mouse and keyboard event the application receives.
class InputWatcher : public QObject {
 public:
  std::uint32_t lastInput = MonotonicMs();
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::Wheel:
        lastInput = MonotonicMs();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }
};

class DesktopIdle : public InputIdle {
 public:
  DesktopIdle() {
    if (auto* app = QCoreApplication::instance()) app->installEventFilter(&watcher_);
    display_ = X11Idle::Display();
  }
  ~DesktopIdle() override {
    if (auto* app = QCoreApplication::instance()) app->removeEventFilter(&watcher_);
  }

  std::uint32_t TickCount() override { return MonotonicMs(); }

  bool LastInputTick(std::uint32_t& tick) override {
    std::uint32_t idleMs = 0;
    if (X11Idle::IdleMilliseconds(display_, idleMs)) {
      tick = TickCount() - idleMs;
      return true;
    }
    tick = watcher_.lastInput;
    return true;
  }

 private:
  InputWatcher watcher_;
  void* display_ = nullptr;
};

}  // namespace

std::unique_ptr<InputIdle> InputIdle::CreateDesktop() { return std::make_unique<DesktopIdle>(); }

}  // namespace platform
