#pragma once
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "media/framework/Graphs.h"
#include "media/framework/Types.h"
#include "media/framework/Unknown.h"

namespace media::gst {

// One platform event. `object` keeps alive what a parameter points to (the
// filter of EC_DEVICE_LOST) until the receiver frees the event's parameters.
struct GraphEvent {
  LONG code = 0;
  LONG_PTR param1 = 0;
  LONG_PTR param2 = 0;
  UnknownPtr object;
};

// The event queue of one graph. Streaming threads push; the user-interface
// thread takes events with Get and releases them with Free. Every push is
// announced by posting the notify message to the notify window (posting is
// safe from any thread and delivers on the user-interface thread), unless
// announcements are off (AM_MEDIAEVENT_NONOTIFY). Events stay queued while
// announcements are off and can still be taken.
class GstEventQueue {
 public:
  void Push(GraphEvent event);
  // S_OK with the oldest event; E_ABORT when none arrives within timeoutMs
  // (0: do not wait, negative: wait without limit).
  HRESULT Get(LONG& code, LONG_PTR& param1, LONG_PTR& param2, LONG timeoutMs);
  // Releases what Get handed out for this event; S_OK also for events that
  // carry nothing.
  HRESULT Free(LONG code, LONG_PTR param1, LONG_PTR param2);

  HRESULT SetNotifyWindow(platform::HWND window, LONG message, LONG_PTR instanceData);
  HRESULT SetNotifyFlags(LONG flags);
  LONG NotifyFlags() const;

  // Drops queued and handed-out events (the graph is going away).
  void Clear();
  std::size_t Size() const;

 private:
  void Announce() const;

  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<GraphEvent> queue_;
  std::vector<GraphEvent> handedOut_;
  platform::HWND window_ = 0;
  LONG message_ = 0;
  LONG_PTR instanceData_ = 0;
  LONG flags_ = 0;
};

}  // namespace media::gst
