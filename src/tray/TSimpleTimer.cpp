#include "tray/TSimpleTimer.h"

#include "platform/MessageWindow.h"
#include "tray/TSimpleTimerHandler.h"

namespace tray {

TSimpleTimer::TSimpleTimer() : TSimpleTimer(1000, {}) {}

TSimpleTimer::TSimpleTimer(unsigned intervalMs, TickHandler onTick) : intervalMs_(intervalMs) {
  SetOnTick(std::move(onTick));
  AcquireTimerHandler();
  SharedTimerHandler()->Register(this);
}

TSimpleTimer::~TSimpleTimer() {
  if (running_) StopTicking(true);
  if (TSimpleTimerHandler* handler = SharedTimerHandler()) handler->Unregister(this);
  ReleaseTimerHandler();
}

bool TSimpleTimer::StartTicking() {
  if (intervalMs_ == 0) return false;
  if (running_) StopTicking(true);
  TSimpleTimerHandler* handler = SharedTimerHandler();
  if (!handler || !handler->Window().SetTimer(TimerId(), intervalMs_)) return false;
  running_ = true;
  return true;
}

bool TSimpleTimer::StopTicking(bool clearRunning) {
  if (clearRunning) running_ = false;
  TSimpleTimerHandler* handler = SharedTimerHandler();
  return handler && handler->Window().KillTimer(TimerId());
}

void TSimpleTimer::SetRunning(bool running) {
  if (running)
    StartTicking();
  else
    StopTicking(true);
}

void TSimpleTimer::SetIntervalMs(unsigned intervalMs) {
  if (intervalMs == intervalMs_) return;
  intervalMs_ = intervalMs;
  if (!running_) return;
  if (intervalMs != 0)
    StartTicking();
  else
    StopTicking(false);
}

void TSimpleTimer::SetOnTick(TickHandler onTick) {
  onTick_ = std::move(onTick);
  if (!onTick_ && running_) StopTicking(false);
}

TSimpleTimer::State TSimpleTimer::CurrentState() const {
  if (!running_) return State::Stopped;
  TSimpleTimerHandler* handler = SharedTimerHandler();
  return handler && handler->Window().HasTimer(TimerId()) ? State::Ticking : State::Suspended;
}

void TSimpleTimer::Tick() {
  if (OneShot) StopTicking(true);
  // A copy: the handler may replace itself or destroy this timer.
  if (TickHandler handler = onTick_) handler(*this);
}

}  // namespace tray
