#pragma once
#include <functional>

#include "media/gst/GstRef.h"

namespace media::gst {

// Sees every message posted on a bus, on the thread that posts it (a
// streaming thread, or the one changing state), through the bus's sync
// handler; the message is dropped afterwards, so nothing piles up on the bus
// and no main loop or bus thread is needed. The handler must not touch
// user-interface objects; it hands what it finds on through thread-safe
// means. The handler's state is owned by the observer's closure: it stays
// alive as long as the bus may still call it, even after the observer is
// gone.
class GstBusObserver {
 public:
  using Handler = std::function<void(GstMessage*)>;

  GstBusObserver(BusRef bus, Handler handler);
  // Removes the handler; a call already running on another thread finishes.
  ~GstBusObserver();
  GstBusObserver(const GstBusObserver&) = delete;
  GstBusObserver& operator=(const GstBusObserver&) = delete;

 private:
  BusRef bus_;
};

}  // namespace media::gst
