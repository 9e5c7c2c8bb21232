#pragma once
// Wakes a thread blocked in poll() from any other thread (an eventfd).
#include "media/gst/net/UniqueFd.h"

namespace media::net {

class WakeEvent {
 public:
  WakeEvent();
  // Never blocks; wakes pending since the last drain() merge into one.
  void signal() const;
  void drain() const;
  int fd() const { return fd_.get(); }

 private:
  UniqueFd fd_;
};

}  // namespace media::net
