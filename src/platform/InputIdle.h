#pragma once
#include <cstdint>
#include <memory>

class QObject;

namespace platform {

// The millisecond tick counter and the tick of the user's last input, as the
// idle watch asks for them. The counter is 32 bits and wraps after about 49.7
// days; callers take unsigned differences.
class InputIdle {
 public:
  virtual ~InputIdle() = default;
  virtual std::uint32_t TickCount() = 0;
  // False when the time of the last input cannot be had; `tick` is then left
  // as it was.
  virtual bool LastInputTick(std::uint32_t& tick) = 0;

  // The desktop's own idle time where the X server reports one (screen-saver
  // extension), else the last mouse or keyboard input this program saw.
  static std::unique_ptr<InputIdle> CreateDesktop();
};

}  // namespace platform
