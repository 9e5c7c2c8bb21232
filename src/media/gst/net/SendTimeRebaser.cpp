#include "media/gst/net/SendTimeRebaser.h"

namespace media::net {

std::uint32_t SendTimeRebaser::map(std::uint32_t sourceTime) {
  if (!started_) {
    started_ = true;
    lastSource_ = sourceTime;
    lastMapped_ = 0;
    return 0;
  }
  // The step is taken modulo 2^32, so a source wrap is an ordinary small step;
  // a step of more than 2^31 ms is read as going backwards.
  const auto step = static_cast<std::int32_t>(sourceTime - lastSource_);
  if (step < 0 && step > -kJitter) return lastMapped_;
  lastSource_ = sourceTime;
  if (step > 0) lastMapped_ += static_cast<std::uint32_t>(step);
  return lastMapped_;
}

}  // namespace media::net
