#include "platform/WindowTimer.h"

#include "platform/MessageWindow.h"

namespace platform {

namespace {
constexpr WPARAM kTimerId = 1;
}

WindowTimer::WindowTimer(unsigned intervalMs, bool enabled)
    : interval_(intervalMs), enabled_(enabled), window_(std::make_unique<MessageWindow>()) {
  window_->SetProcedure([this](UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    if (msg == WM_TIMER && w == kTimerId) Tick();
    return MessageWindow::DefWindowProc(msg, w, l);
  });
  Update();
}

WindowTimer::~WindowTimer() = default;

void WindowTimer::SetInterval(unsigned ms) {
  interval_ = ms;
  Update();
}

void WindowTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Update();
}

void WindowTimer::SetOnTimer(std::function<void()> handler) {
  onTimer_ = std::move(handler);
  Update();
}

void WindowTimer::Tick() {
  if (onTimer_) onTimer_();
}

// As form timers do: a timer runs only when enabled, with a period and a handler.
void WindowTimer::Update() {
  if (enabled_ && interval_ > 0 && onTimer_)
    window_->SetTimer(kTimerId, interval_);
  else
    window_->KillTimer(kTimerId);
}

}  // namespace platform
