#include "tray/TSimpleTimerHandler.h"

#include <QCoreApplication>

#include "platform/MessageWindow.h"
#include "tray/TSimpleTimer.h"

namespace tray {
namespace {

std::unique_ptr<TSimpleTimerHandler>& Shared() {
  static std::unique_ptr<TSimpleTimerHandler> handler;
  return handler;
}

}  // namespace

TSimpleTimerHandler::TSimpleTimerHandler()
    : window_(std::make_unique<platform::MessageWindow>(
          [this](platform::UINT msg, platform::WPARAM w, platform::LPARAM l) { return WindowProc(msg, w, l); })) {}

TSimpleTimerHandler::~TSimpleTimerHandler() = default;

platform::HWND TSimpleTimerHandler::WindowHandle() const { return window_->Handle(); }

void TSimpleTimerHandler::Register(TSimpleTimer* timer) { timers_[timer->TimerId()] = timer; }

void TSimpleTimerHandler::Unregister(TSimpleTimer* timer) { timers_.erase(timer->TimerId()); }

platform::LRESULT TSimpleTimerHandler::WindowProc(platform::UINT msg, platform::WPARAM wParam, platform::LPARAM lParam) {
  if (msg != platform::WM_TIMER) return platform::MessageWindow::DefWindowProc(msg, wParam, lParam);
  auto it = timers_.find(wParam);
  if (it != timers_.end()) it->second->Tick();
  return 0;
}

TSimpleTimerHandler* SharedTimerHandler() { return Shared().get(); }

void AcquireTimerHandler() {
  if (!Shared()) {
    Shared() = std::make_unique<TSimpleTimerHandler>();
    static bool cleanupAdded = false;
    if (!cleanupAdded && QCoreApplication::instance()) {
      cleanupAdded = true;
      qAddPostRoutine([] { Shared().reset(); });
    }
  }
  ++Shared()->userCount_;
}

void ReleaseTimerHandler() {
  auto& handler = Shared();
  if (!handler) return;
  if (handler->userCount_ > 0) --handler->userCount_;
  if (handler->userCount_ == 0) handler.reset();
}

}  // namespace tray
