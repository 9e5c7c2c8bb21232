#include "media/gst/GstGraphBus.h"

#include <algorithm>
#include <cstdio>

#include "media/MediaLog.h"
#include "media/framework/EventCodes.h"
#include "media/gst/GstMessageTranslator.h"
#include "platform/MessageWindow.h"

namespace media::gst {
namespace {

std::string PathOf(GstObject* object) { return object ? TakeString(gst_object_get_path_string(object)) : "?"; }

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

std::string Describe(GstMessage* message, const char* kind, GError* error, gchar* debug) {
  const GErrorPtr ownedError(error);
  const GCharPtr ownedDebug(debug);
  std::string line = std::string(kind) + " from " + PathOf(GST_MESSAGE_SRC(message)) + ": " +
                     (error ? error->message : "?");
  if (debug) line += " [" + std::string(debug) + "]";
  // Every error and warning of a graph, whether or not it becomes an event:
  // the element, GStreamer's message and its debug text.
  if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) qCCritical(lcMedia, "GStreamer %s", line.c_str());
  else qCWarning(lcMedia, "GStreamer %s", line.c_str());
  return line;
}

}  // namespace

GstGraphBus::GstGraphBus(GstElement* pipeline, platform::HWND controlWindow)
    : pipeline_(pipeline), controlWindow_(controlWindow) {}

void GstGraphBus::OnMessage(GstMessage* message) {
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_STATE_CHANGED: return OnStateChanged(message);
    case GST_MESSAGE_ERROR: return OnError(message);
    case GST_MESSAGE_WARNING: {
      GError* error = nullptr;
      gchar* debug = nullptr;
      gst_message_parse_warning(message, &error, &debug);
      return log_.Write(Describe(message, "warning", error, debug));
    }
    case GST_MESSAGE_NEW_CLOCK: return OnNewClock(message);
    case GST_MESSAGE_CLOCK_LOST:
      log_.Write("clock lost");
      platform::PostMessage(controlWindow_, kReselectClock, 0, 0);
      break;
    case GST_MESSAGE_LATENCY: platform::PostMessage(controlWindow_, kRecalculateLatency, 0, 0); return;
    case GST_MESSAGE_EOS: return OnEndOfStream(GST_MESSAGE_SRC(message));
    case GST_MESSAGE_ELEMENT: return OnForwarded(message);
    default: break;
  }
  if (auto event = GstMessageTranslator::Translate(message, pipeline_, running_.load())) Queue(std::move(*event));
}

void GstGraphBus::OnStateChanged(GstMessage* message) {
  if (GST_MESSAGE_SRC(message) != GST_OBJECT_CAST(pipeline_)) return;
  GstState from, to, pending;
  gst_message_parse_state_changed(message, &from, &to, &pending);
  running_.store(to == GST_STATE_PLAYING);
  if (from != to) log_.Write(std::string("state ") + gst_element_state_get_name(from) + " -> " + gst_element_state_get_name(to));
}

void GstGraphBus::OnError(GstMessage* message) {
  GError* error = nullptr;
  gchar* debug = nullptr;
  gst_message_parse_error(message, &error, &debug);
  auto event = GstMessageTranslator::Translate(message, pipeline_, running_.load());
  log_.Write(Describe(message, "error", error, debug) +
             (event->code == EC_DEVICE_LOST ? " -> device lost" : " -> " + Hex(static_cast<HRESULT>(event->param1))));
  if (event->code == EC_ERRORABORT) {
    HRESULT none = S_OK;
    firstError_.compare_exchange_strong(none, static_cast<HRESULT>(event->param1));
  }
  if (event->code == EC_DEVICE_LOST && !ReportDeviceOnce(*event)) return;
  Queue(std::move(*event));
}

// A lost device goes on failing (its source's streaming task reports the
// stop too): one EC_DEVICE_LOST per device and run.
bool GstGraphBus::ReportDeviceOnce(const GraphEvent& event) {
  std::lock_guard lock(mutex_);
  if (std::find(lostDevices_.begin(), lostDevices_.end(), event.param1) != lostDevices_.end()) return false;
  lostDevices_.push_back(event.param1);
  return true;
}

void GstGraphBus::OnNewClock(GstMessage* message) {
  GstClock* clock = nullptr;
  gst_message_parse_new_clock(message, &clock);
  {
    std::lock_guard lock(mutex_);
    if (clock == lastClock_) return;
    lastClock_ = clock;
  }
  log_.Write("clock " + std::string(clock ? GST_OBJECT_NAME(clock) : "none"));
  Queue(GraphEvent{EC_CLOCK_CHANGED, 0, 0, {}});
}

void GstGraphBus::OnEndOfStream(GstObject* source) {
  {
    std::lock_guard lock(mutex_);
    if (draining_) {
      if (source == GST_OBJECT_CAST(pipeline_)) pendingDrain_.clear();
      else std::erase(pendingDrain_, reinterpret_cast<GstElement*>(source));
      if (pendingDrain_.empty()) drained_.notify_all();
      return;
    }
  }
  if (source != GST_OBJECT_CAST(pipeline_)) {
    std::lock_guard lock(mutex_);
    ended_.push_back(source);
    return;
  }
  log_.Write("end of stream");
  Queue(GraphEvent{EC_COMPLETE, S_OK, 0, {}});
}

// The pipeline forwards its children's messages (message-forward), which is
// how a single filter's end of stream is seen before the whole pipeline's.
void GstGraphBus::OnForwarded(GstMessage* message) {
  const GstStructure* s = gst_message_get_structure(message);
  if (!s || !gst_structure_has_name(s, "GstBinForwarded")) return;
  GstMessage* inner = nullptr;
  if (!gst_structure_get(s, "message", GST_TYPE_MESSAGE, &inner, nullptr) || !inner) return;
  const MessageRef owned = MessageRef::Adopt(inner);
  if (GST_MESSAGE_TYPE(inner) == GST_MESSAGE_EOS && GST_MESSAGE_SRC(inner) != GST_OBJECT_CAST(pipeline_))
    OnEndOfStream(GST_MESSAGE_SRC(inner));
}

void GstGraphBus::Queue(GraphEvent event) { events_.Push(std::move(event)); }

void GstGraphBus::BeginRun() {
  firstError_.store(S_OK);
  std::lock_guard lock(mutex_);
  lostDevices_.clear();
  // A pipeline resumed from a pause keeps the streams that ended: they do
  // not start again.
  if (GST_STATE(pipeline_) < GST_STATE_PAUSED) ended_.clear();
}

bool GstGraphBus::BeginDrain(std::vector<GstElement*> bins) {
  std::lock_guard lock(mutex_);
  draining_ = true;
  std::erase_if(bins, [this](GstElement* bin) { return std::ranges::count(ended_, GST_OBJECT_CAST(bin)) > 0; });
  pendingDrain_ = std::move(bins);
  return !pendingDrain_.empty();
}

bool GstGraphBus::WaitDrained(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return drained_.wait_for(lock, limit, [this] { return pendingDrain_.empty(); });
}

void GstGraphBus::EndDrain() {
  std::lock_guard lock(mutex_);
  draining_ = false;
  pendingDrain_.clear();
}

}  // namespace media::gst
