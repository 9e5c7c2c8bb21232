#include "media/gst/GstRecordingSink.h"

#include <gst/base/gstbasesink.h>

#include <atomic>
#include <new>
#include <utility>

#include "media/framework/EventCodes.h"
#include "media/framework/FileResults.h"
#include "media/gst/GstMessageTranslator.h"

namespace media::gst {
namespace {

struct SinkState {
  platform::OutputFile file;  // streaming thread while running, else the caller's
  std::atomic<int> failure{0};
};

struct QuadroviaRecordingSink {
  GstBaseSink parent;
  SinkState* state;
};

struct QuadroviaRecordingSinkClass {
  GstBaseSinkClass parent;
};

G_DEFINE_TYPE(QuadroviaRecordingSink, quadrovia_recording_sink, GST_TYPE_BASE_SINK)

SinkState& StateOf(gpointer sink) { return *reinterpret_cast<QuadroviaRecordingSink*>(sink)->state; }

// The first failure of a run is reported; what follows is its consequence.
void Fail(GstBaseSink* sink, int error, bool creating) {
  int none = 0;
  if (!StateOf(sink).failure.compare_exchange_strong(none, error)) return;
  StateOf(sink).file.Close();
  MessageRef message = GstMessageTranslator::NewGraphEventMessage(GST_OBJECT_CAST(sink), EC_ERROR_STILLPLAYING,
                                                                  ResultOfFileError(error, creating), 0);
  gst_element_post_message(GST_ELEMENT_CAST(sink), message.release());
}

gboolean Start(GstBaseSink* sink) {
  SinkState& state = StateOf(sink);
  state.failure.store(0);
  if (state.file.IsOpen()) return TRUE;
  if (state.file.Error() == 0) {
    GST_ELEMENT_ERROR(sink, RESOURCE, NOT_FOUND, ("No file name specified for writing."), (nullptr));
    return FALSE;
  }
  Fail(sink, state.file.Error(), true);
  return TRUE;
}

gboolean Stop(GstBaseSink* sink) {
  StateOf(sink).file = platform::OutputFile();
  return TRUE;
}

GstFlowReturn Render(GstBaseSink* sink, GstBuffer* buffer) {
  SinkState& state = StateOf(sink);
  if (state.failure.load() != 0) return GST_FLOW_OK;
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_FLOW_OK;
  int error = state.file.Write(map.data, map.size);
  gst_buffer_unmap(buffer, &map);
  // A deleted file takes every write without complaint and is gone when it
  // is closed.
  if (error == 0 && state.file.Unlinked()) error = ENOENT;
  if (error != 0) Fail(sink, error, false);
  return GST_FLOW_OK;
}

gboolean Event(GstBaseSink* sink, GstEvent* event) {
  SinkState& state = StateOf(sink);
  if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT && state.failure.load() == 0) {
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event, &segment);
    if (segment->format == GST_FORMAT_BYTES)
      if (const int error = state.file.SeekTo(segment->start)) Fail(sink, error, false);
  }
  return GST_BASE_SINK_CLASS(quadrovia_recording_sink_parent_class)->event(sink, event);
}

gboolean Query(GstBaseSink* sink, GstQuery* query) {
  if (GST_QUERY_TYPE(query) != GST_QUERY_SEEKING)
    return GST_BASE_SINK_CLASS(quadrovia_recording_sink_parent_class)->query(sink, query);
  GstFormat format;
  gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
  gst_query_set_seeking(query, format, format == GST_FORMAT_BYTES || format == GST_FORMAT_DEFAULT, 0, -1);
  return TRUE;
}

void Finalize(GObject* object) {
  auto* sink = reinterpret_cast<QuadroviaRecordingSink*>(object);
  sink->state->~SinkState();
  g_free(sink->state);
  G_OBJECT_CLASS(quadrovia_recording_sink_parent_class)->finalize(object);
}

void quadrovia_recording_sink_class_init(QuadroviaRecordingSinkClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = Finalize;
  static GstStaticPadTemplate sinkTemplate = GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
  gst_element_class_add_static_pad_template(GST_ELEMENT_CLASS(klass), &sinkTemplate);
  gst_element_class_set_static_metadata(GST_ELEMENT_CLASS(klass), "Recording file sink", "Sink/File",
                                        "Writes a recording to a file created for it", "Quadrovia");
  GstBaseSinkClass* base = GST_BASE_SINK_CLASS(klass);
  base->start = Start;
  base->stop = Stop;
  base->render = Render;
  base->event = Event;
  base->query = Query;
}

void quadrovia_recording_sink_init(QuadroviaRecordingSink* sink) {
  sink->state = new (g_malloc(sizeof(SinkState))) SinkState();
  gst_base_sink_set_sync(GST_BASE_SINK(sink), FALSE);
  gst_base_sink_set_async_enabled(GST_BASE_SINK(sink), FALSE);
  gst_base_sink_set_last_sample_enabled(GST_BASE_SINK(sink), FALSE);
}

}  // namespace

GstElement* GstRecordingSink::Make() {
  return GST_ELEMENT_CAST(g_object_new(quadrovia_recording_sink_get_type(), nullptr));
}

void GstRecordingSink::SetFile(GstElement* sink, platform::OutputFile file) { StateOf(sink).file = std::move(file); }

int GstRecordingSink::Failure(GstElement* sink) { return StateOf(sink).failure.load(); }

}  // namespace media::gst
