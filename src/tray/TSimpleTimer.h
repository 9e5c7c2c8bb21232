#pragma once
#include <functional>

#include "platform/WindowMessages.h"

namespace tray {

// A light timer: its ticks are WM_TIMER messages of the shared timer window
// (TSimpleTimerHandler), with the timer's own address as timer identifier.
// User-interface thread only.
class TSimpleTimer {
 public:
  using TickHandler = std::function<void(TSimpleTimer& timer)>;

  // Where the timer is:
  //   Stopped   --StartTicking / SetRunning(true), interval > 0-->  Ticking
  //   Ticking   --SetIntervalMs(v > 0)--> Ticking, restarted with a full period v
  //   Ticking   --SetIntervalMs(0), SetOnTick(none), StopTicking(false)--> Suspended
  //   Suspended --SetIntervalMs(v > 0), StartTicking--> Ticking
  //   any       --SetRunning(false), StopTicking(true), one-shot tick--> Stopped
  // Running() is true in Ticking and Suspended. An interval of 0 never ticks:
  // StartTicking then answers false and changes nothing.
  enum class State { Stopped, Ticking, Suspended };

  TSimpleTimer();  // 1000 ms, no handler
  TSimpleTimer(unsigned intervalMs, TickHandler onTick);
  ~TSimpleTimer();
  TSimpleTimer(const TSimpleTimer&) = delete;
  TSimpleTimer& operator=(const TSimpleTimer&) = delete;

  bool StartTicking();
  // clearRunning false only suspends: the next non-zero interval restarts it.
  bool StopTicking(bool clearRunning);
  void SetRunning(bool running);
  void SetIntervalMs(unsigned intervalMs);
  // Removing the handler of a running timer suspends it; setting one does not
  // restart it.
  void SetOnTick(TickHandler onTick);

  bool Running() const { return running_; }
  unsigned IntervalMs() const { return intervalMs_; }
  State CurrentState() const;
  platform::WPARAM TimerId() const { return reinterpret_cast<platform::WPARAM>(this); }

  // Stop after the first tick.
  bool OneShot = false;

  // A tick of the platform timer; called by the timer window.
  void Tick();

 private:
  bool running_ = false;
  unsigned intervalMs_;
  TickHandler onTick_;
};

}  // namespace tray
