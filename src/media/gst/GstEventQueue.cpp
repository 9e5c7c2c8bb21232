#include "media/gst/GstEventQueue.h"

#include <algorithm>
#include <chrono>

#include "platform/MessageWindow.h"

namespace media::gst {

void GstEventQueue::Push(GraphEvent event) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(event));
  }
  arrived_.notify_all();
  Announce();
}

void GstEventQueue::Announce() const {
  platform::HWND window;
  LONG message;
  LONG_PTR data;
  {
    std::lock_guard lock(mutex_);
    if (flags_ & AM_MEDIAEVENT_NONOTIFY || window_ == 0) return;
    window = window_;
    message = message_;
    data = instanceData_;
  }
  platform::PostMessage(window, static_cast<platform::UINT>(message), 0, data);
}

HRESULT GstEventQueue::Get(LONG& code, LONG_PTR& param1, LONG_PTR& param2, LONG timeoutMs) {
  std::unique_lock lock(mutex_);
  const auto ready = [this] { return !queue_.empty(); };
  if (timeoutMs < 0) arrived_.wait(lock, ready);
  else if (timeoutMs > 0) arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
  if (queue_.empty()) return E_ABORT;
  GraphEvent event = std::move(queue_.front());
  queue_.pop_front();
  code = event.code;
  param1 = event.param1;
  param2 = event.param2;
  if (event.object) handedOut_.push_back(std::move(event));
  return S_OK;
}

HRESULT GstEventQueue::Free(LONG code, LONG_PTR param1, LONG_PTR param2) {
  std::lock_guard lock(mutex_);
  auto it = std::find_if(handedOut_.begin(), handedOut_.end(), [&](const GraphEvent& e) {
    return e.code == code && e.param1 == param1 && e.param2 == param2;
  });
  if (it != handedOut_.end()) handedOut_.erase(it);
  return S_OK;
}

HRESULT GstEventQueue::SetNotifyWindow(platform::HWND window, LONG message, LONG_PTR instanceData) {
  std::lock_guard lock(mutex_);
  window_ = window;
  message_ = message;
  instanceData_ = instanceData;
  return S_OK;
}

HRESULT GstEventQueue::SetNotifyFlags(LONG flags) {
  if (flags != 0 && flags != AM_MEDIAEVENT_NONOTIFY) return E_INVALIDARG;
  std::lock_guard lock(mutex_);
  flags_ = flags;
  return S_OK;
}

LONG GstEventQueue::NotifyFlags() const {
  std::lock_guard lock(mutex_);
  return flags_;
}

void GstEventQueue::Clear() {
  std::deque<GraphEvent> queued;
  std::vector<GraphEvent> handedOut;
  {
    std::lock_guard lock(mutex_);
    queued.swap(queue_);
    handedOut.swap(handedOut_);
  }
  // The held objects are released here, outside the lock.
}

std::size_t GstEventQueue::Size() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

}  // namespace media::gst
