#include "media/gst/AsfHeaderProbe.h"

#include <optional>
#include <span>
#include <utility>

#include "media/gst/AsfHeaderRewrite.h"
#include "media/gst/GstRef.h"
#include "media/gst/net/AsfGuids.h"

namespace media::gst {
namespace {

struct ProbeState {
  explicit ProbeState(AsfHeaderRewrite r) : rewrite(std::move(r)) {}
  AsfHeaderRewrite rewrite;
  // Where the next buffer goes in the file: the start of the muxer's last
  // byte segment, for the one buffer after it.
  std::optional<std::uint64_t> writeAt;
};

// Runs `change` over the bytes of the buffer made writable (itself when
// nothing else holds it, a copy otherwise).
template <class Change>
GstBuffer* Changed(GstBuffer* buffer, Change change) {
  buffer = gst_buffer_make_writable(buffer);
  GstMapInfo map;
  if (gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) {
    change(std::span<std::uint8_t>(map.data, map.size));
    gst_buffer_unmap(buffer, &map);
  }
  return buffer;
}

bool IsHeader(GstBuffer* buffer) {
  std::uint8_t head[16];
  return gst_buffer_extract(buffer, 0, head, sizeof head) == sizeof head &&
         net::hasAsfGuid(std::span<const std::uint8_t>(head), net::kAsfHeaderObject);
}

void OnBuffer(GstPadProbeInfo* info, ProbeState& state) {
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  const auto at = std::exchange(state.writeAt, std::nullopt);
  if (IsHeader(buffer)) {
    GST_PAD_PROBE_INFO_DATA(info) = Changed(buffer, [&](std::span<std::uint8_t> b) { state.rewrite.Rewrite(b); });
  } else if (at) {
    GST_PAD_PROBE_INFO_DATA(info) =
        Changed(buffer, [&](std::span<std::uint8_t> b) { state.rewrite.MendLateWrite(*at, b); });
  }
}

// The caps with every header of their streamheader rewritten; nullopt when
// they carry none.
std::optional<CapsRef> WithRewrittenStreamHeader(GstCaps* caps, ProbeState& state) {
  const GstStructure* s = gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
  const GValue* headers = s ? gst_structure_get_value(s, "streamheader") : nullptr;
  if (!headers || !GST_VALUE_HOLDS_ARRAY(headers)) return std::nullopt;
  GValue rewritten = G_VALUE_INIT;
  g_value_init(&rewritten, GST_TYPE_ARRAY);
  for (guint i = 0; i < gst_value_array_get_size(headers); ++i) {
    GValue entry = G_VALUE_INIT;
    g_value_init(&entry, GST_TYPE_BUFFER);
    const GValue* value = gst_value_array_get_value(headers, i);
    if (GST_VALUE_HOLDS_BUFFER(value)) {
      GstBuffer* copy = gst_buffer_copy_deep(gst_value_get_buffer(value));
      if (IsHeader(copy)) copy = Changed(copy, [&](std::span<std::uint8_t> b) { state.rewrite.Rewrite(b); });
      gst_value_take_buffer(&entry, copy);
    }
    gst_value_array_append_and_take_value(&rewritten, &entry);
  }
  auto result = CapsRef::Adopt(gst_caps_copy(caps));
  gst_structure_take_value(gst_caps_get_structure(result.get(), 0), "streamheader", &rewritten);
  return result;
}

void OnEvent(GstPadProbeInfo* info, ProbeState& state) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event, &segment);
    state.writeAt = segment->format == GST_FORMAT_BYTES ? std::optional<std::uint64_t>(segment->start) : std::nullopt;
  } else if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
    GstCaps* caps = nullptr;
    gst_event_parse_caps(event, &caps);
    if (auto rewritten = WithRewrittenStreamHeader(caps, state)) {
      GST_PAD_PROBE_INFO_DATA(info) = gst_event_new_caps(rewritten->get());
      gst_event_unref(event);
    }
  }
}

GstPadProbeReturn OnData(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& state = *static_cast<ProbeState*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) OnBuffer(info, state);
  else if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) OnEvent(info, state);
  return GST_PAD_PROBE_OK;
}

}  // namespace

std::uint32_t AsfHeaderProbe::Attach(GstPad* muxSrc, const WMProfileSettings& profile) {
  auto* state = new ProbeState(AsfHeaderRewrite::ForProfile(profile));
  const std::uint32_t reserve = state->rewrite.Reserve();
  gst_pad_add_probe(muxSrc, static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                    OnData, state, [](gpointer data) { delete static_cast<ProbeState*>(data); });
  return reserve;
}

}  // namespace media::gst
