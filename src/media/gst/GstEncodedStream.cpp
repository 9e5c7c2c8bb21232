#include "media/gst/GstEncodedStream.h"

namespace media::gst {

GstEncodedStream::GstEncodedStream(GstPad* pad, Counter counter) : pad_(pad), counter_(std::move(counter)) {
  gst_segment_init(&segment_, GST_FORMAT_TIME);
  probe_ = gst_pad_add_probe(pad_, GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                             &GstEncodedStream::OnProbe, this, nullptr);
}

GstEncodedStream::~GstEncodedStream() { gst_pad_remove_probe(pad_, probe_); }

void GstEncodedStream::Restart() {
  gst_segment_init(&segment_, GST_FORMAT_TIME);
  started_ = false;
  segmentSent_ = false;
  caps_.reset();
}

GstPadProbeReturn GstEncodedStream::OnProbe(GstPad*, GstPadProbeInfo* info, gpointer self) {
  auto* stream = static_cast<GstEncodedStream*>(self);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) return stream->OnBuffer(info);
  return stream->OnEvent(info);
}

GstPadProbeReturn GstEncodedStream::OnEvent(GstPadProbeInfo* info) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_STREAM_START:
      if (started_) return GST_PAD_PROBE_DROP;
      started_ = true;
      return GST_PAD_PROBE_OK;
    case GST_EVENT_CAPS: {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      if (caps_ && gst_caps_is_equal(caps, caps_.get())) return GST_PAD_PROBE_DROP;
      caps_ = CapsRef::AddRef(caps);
      return GST_PAD_PROBE_OK;
    }
    case GST_EVENT_SEGMENT: {
      gst_event_copy_segment(event, &segment_);
      if (segmentSent_) return GST_PAD_PROBE_DROP;
      segmentSent_ = true;
      GstSegment plain;
      gst_segment_init(&plain, GST_FORMAT_TIME);
      GstEvent* replacement = gst_event_new_segment(&plain);
      gst_event_set_seqnum(replacement, gst_event_get_seqnum(event));
      // The probe's data is ours to replace: the encoder's event goes.
      const GstRef<GstEvent> replaced = GstRef<GstEvent>::Adopt(event);
      GST_PAD_PROBE_INFO_DATA(info) = replacement;
      return GST_PAD_PROBE_OK;
    }
    case GST_EVENT_FLUSH_STOP:
      Restart();
      return GST_PAD_PROBE_OK;
    default:
      return GST_PAD_PROBE_OK;
  }
}

GstPadProbeReturn GstEncodedStream::OnBuffer(GstPadProbeInfo* info) {
  GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
  GST_PAD_PROBE_INFO_DATA(info) = buffer;
  if (GST_BUFFER_PTS_IS_VALID(buffer))
    GST_BUFFER_PTS(buffer) = gst_segment_to_running_time(&segment_, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
  if (GST_BUFFER_DTS_IS_VALID(buffer))
    GST_BUFFER_DTS(buffer) = gst_segment_to_running_time(&segment_, GST_FORMAT_TIME, GST_BUFFER_DTS(buffer));
  if (counter_) counter_(gst_buffer_get_size(buffer));
  return GST_PAD_PROBE_OK;
}

}  // namespace media::gst
