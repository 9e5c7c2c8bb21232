#include "media/gst/net/WakeEvent.h"

#include <sys/eventfd.h>

#include <cstdint>

namespace media::net {

WakeEvent::WakeEvent() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

void WakeEvent::signal() const {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto n = ::write(fd_.get(), &one, sizeof(one));
}

void WakeEvent::drain() const {
  std::uint64_t count = 0;
  [[maybe_unused]] const auto n = ::read(fd_.get(), &count, sizeof(count));
}

}  // namespace media::net
