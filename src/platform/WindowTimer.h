#pragma once
#include <functional>
#include <memory>

namespace platform {

class MessageWindow;

// A form timer on its own message window: ticks are WM_TIMER messages, handled
// by the event loop one at a time, never concurrently with other handlers.
class WindowTimer {
 public:
  explicit WindowTimer(unsigned intervalMs = 1000, bool enabled = true);
  ~WindowTimer();

  void SetInterval(unsigned ms);
  unsigned Interval() const { return interval_; }
  void SetEnabled(bool enabled);
  bool Enabled() const { return enabled_; }
  void SetOnTimer(std::function<void()> handler);
  // Runs the handler as a tick would; for tests that step time.
  void Tick();

 private:
  void Update();

  unsigned interval_;
  bool enabled_;
  std::function<void()> onTimer_;
  std::unique_ptr<MessageWindow> window_;
};

}  // namespace platform
