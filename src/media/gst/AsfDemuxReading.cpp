#include "media/gst/AsfDemuxReading.h"

#include <atomic>
#include <chrono>

#include "media/gst/GstRef.h"

namespace media::gst {
namespace {

struct Counter {
  GstElement* pipeline;  // owned by the caller
  std::atomic<std::uint64_t> videoFrames{0};
};

GstPadProbeReturn CountFrame(GstPad*, GstPadProbeInfo*, gpointer counter) {
  static_cast<Counter*>(counter)->videoFrames.fetch_add(1, std::memory_order_relaxed);
  return GST_PAD_PROBE_OK;
}

// Streaming thread: every stream the demuxer finds ends in a sink of its
// own, so that no stream holds the others back; video buffers are counted.
void OnPadAdded(GstElement*, GstPad* pad, gpointer data) {
  auto* counter = static_cast<Counter*>(data);
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (!sink) return;
  g_object_set(sink, "sync", FALSE, nullptr);
  gst_bin_add(GST_BIN(counter->pipeline), sink);
  const PadRef sinkPad = PadRef::Adopt(gst_element_get_static_pad(sink, "sink"));
  if (g_str_has_prefix(GST_PAD_NAME(pad), "video"))
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, CountFrame, counter, nullptr);
  gst_pad_link(pad, sinkPad.get());
  gst_element_sync_state_with_parent(sink);
}

std::string ErrorText(GstMessage* message) {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  const GErrorPtr owned(error);
  return owned ? owned->message : "error";
}

// Waits for one of `types` (or an error); nil when stopped or out of time.
MessageRef Await(GstBus* bus, GstMessageType types, const std::stop_token& stop,
                 std::chrono::steady_clock::time_point until) {
  while (!stop.stop_requested() && std::chrono::steady_clock::now() < until) {
    auto message = MessageRef::Adopt(gst_bus_timed_pop_filtered(
        bus, 100 * GST_MSECOND, static_cast<GstMessageType>(types | GST_MESSAGE_ERROR)));
    if (message) return message;
  }
  return nullptr;
}

}  // namespace

AsfDemuxReading AsfDemuxReading::Read(const std::string& path, std::stop_token stop, int limitSeconds) {
  AsfDemuxReading reading;
  const ElementRef pipeline = ElementRef::Adopt(gst_pipeline_new(nullptr));
  const ElementRef source = ElementRef::Adopt(gst_element_factory_make("filesrc", nullptr));
  const ElementRef demux = ElementRef::Adopt(gst_element_factory_make("asfdemux", nullptr));
  if (!source || !demux) {
    reading.problem = "the ASF demuxer (asfdemux) is not installed";
    return reading;
  }
  g_object_set(source.get(), "location", path.c_str(), nullptr);
  gst_bin_add_many(GST_BIN(pipeline.get()), source.get(), demux.get(), nullptr);
  gst_element_link(source.get(), demux.get());
  Counter counter{pipeline.get()};
  g_signal_connect(demux.get(), "pad-added", G_CALLBACK(OnPadAdded), &counter);

  const BusRef bus = BusRef::Adopt(gst_element_get_bus(pipeline.get()));
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
  gst_element_set_state(pipeline.get(), GST_STATE_PAUSED);
  MessageRef message = Await(bus.get(), GST_MESSAGE_ASYNC_DONE, stop, until);
  if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ASYNC_DONE) {
    gint64 duration = -1;
    if (gst_element_query_duration(pipeline.get(), GST_FORMAT_TIME, &duration)) reading.durationNs = duration;
    const auto query = GstRef<GstQuery>::Adopt(gst_query_new_seeking(GST_FORMAT_TIME));
    gboolean seekable = FALSE;
    if (gst_element_query(pipeline.get(), query.get()))
      gst_query_parse_seeking(query.get(), nullptr, &seekable, nullptr, nullptr);
    reading.seekable = seekable;
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    message = Await(bus.get(), GST_MESSAGE_EOS, stop, until);
    if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS) reading.toTheEnd = true;
  }
  if (!reading.toTheEnd) reading.problem = message ? ErrorText(message.get()) : "gave up reading";
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  reading.videoFrames = counter.videoFrames.load();
  return reading;
}

}  // namespace media::gst
