#include "media/gst/net/AsfAppSinkFeed.h"

#include <mutex>
#include <optional>
#include <vector>

#include "media/gst/net/AsfHeader.h"
#include "media/gst/net/AsfStreamServer.h"

namespace media::net {

// Shared by the feed and the appsink's callbacks (which hold a copy of the
// pointer until the appsink drops them). server is cleared under the lock
// when the feed goes.
struct AsfAppSinkFeed::State {
  std::mutex mutex;
  AsfStreamServer* server = nullptr;
  gst::CapsRef caps;                 // the caps whose header was taken
  bool headerFromCaps = false;
  std::uint32_t packetSize = 0;
  std::vector<std::uint8_t> pending;  // data short of a whole packet

  void takeCaps(GstCaps* newCaps);
  void takeHeader(std::span<const std::uint8_t> bytes);
  void takeData(std::span<const std::uint8_t> bytes);
};

namespace {

std::vector<std::uint8_t> bufferBytes(GstBuffer* buffer) {
  std::vector<std::uint8_t> bytes(gst_buffer_get_size(buffer));
  gst_buffer_extract(buffer, 0, bytes.data(), bytes.size());
  return bytes;
}

// The concatenated buffers of a caps' streamheader; empty without one.
std::vector<std::uint8_t> streamHeader(GstCaps* caps) {
  std::vector<std::uint8_t> bytes;
  const GstStructure* s = caps && gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
  const GValue* array = s ? gst_structure_get_value(s, "streamheader") : nullptr;
  if (!array || !GST_VALUE_HOLDS_ARRAY(array)) return bytes;
  for (guint i = 0; i < gst_value_array_get_size(array); ++i) {
    const GValue* v = gst_value_array_get_value(array, i);
    if (!GST_VALUE_HOLDS_BUFFER(v)) continue;
    const auto part = bufferBytes(gst_value_get_buffer(v));
    bytes.insert(bytes.end(), part.begin(), part.end());
  }
  return bytes;
}

}  // namespace

GstFlowReturn AsfAppSinkFeed::onNewSample(GstAppSink* sink, gpointer data) {
  auto sample = gst::GstRef<GstSample>::Adopt(gst_app_sink_pull_sample(sink));
  if (!sample) return GST_FLOW_OK;
  auto& state = **static_cast<StatePtr*>(data);
  std::lock_guard lock(state.mutex);
  if (!state.server) return GST_FLOW_OK;
  state.takeCaps(gst_sample_get_caps(sample.get()));
  GstBuffer* buffer = gst_sample_get_buffer(sample.get());
  if (!buffer) return GST_FLOW_OK;
  const auto bytes = bufferBytes(buffer);
  if (GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_HEADER)) {
    if (!state.headerFromCaps) state.takeHeader(bytes);
  } else {
    state.takeData(bytes);
  }
  return GST_FLOW_OK;
}

void AsfAppSinkFeed::onEos(GstAppSink*, gpointer data) {
  auto& state = **static_cast<StatePtr*>(data);
  std::lock_guard lock(state.mutex);
  if (state.server) state.server->endOfStream();
}

void AsfAppSinkFeed::releaseState(gpointer data) { delete static_cast<StatePtr*>(data); }

void AsfAppSinkFeed::State::takeCaps(GstCaps* newCaps) {
  if (!newCaps || (caps && gst_caps_is_equal(caps.get(), newCaps))) return;
  caps = gst::CapsRef::AddRef(newCaps);
  const auto header = streamHeader(newCaps);
  headerFromCaps = !header.empty();
  if (headerFromCaps) takeHeader(header);
}

void AsfAppSinkFeed::State::takeHeader(std::span<const std::uint8_t> bytes) {
  const auto parsed = AsfHeader::parse(bytes);
  if (!parsed || !server->setHeader(bytes)) return;
  packetSize = parsed->packetSize();
  pending.clear();
}

void AsfAppSinkFeed::State::takeData(std::span<const std::uint8_t> bytes) {
  if (packetSize == 0) return;
  pending.insert(pending.end(), bytes.begin(), bytes.end());
  std::size_t at = 0;
  for (; pending.size() - at >= packetSize; at += packetSize)
    server->pushPacket(std::span(pending).subspan(at, packetSize));
  pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
}

AsfAppSinkFeed::AsfAppSinkFeed(GstElement* appsink, AsfStreamServer& server)
    : sink_(gst::ElementRef::AddRef(appsink)), state_(std::make_shared<State>()) {
  state_->server = &server;
  g_object_set(appsink, "sync", FALSE, nullptr);
  GstAppSinkCallbacks callbacks{};
  callbacks.eos = onEos;
  callbacks.new_sample = onNewSample;
  gst_app_sink_set_callbacks(GST_APP_SINK(appsink), &callbacks, new StatePtr(state_), releaseState);
}

AsfAppSinkFeed::~AsfAppSinkFeed() {
  {
    std::lock_guard lock(state_->mutex);
    state_->server = nullptr;
  }
  GstAppSinkCallbacks none{};
  gst_app_sink_set_callbacks(GST_APP_SINK(sink_.get()), &none, nullptr, nullptr);
}

}  // namespace media::net
