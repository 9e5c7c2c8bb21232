#include "media/gst/GstMessageTranslator.h"

#include "media/framework/EventCodes.h"
#include "media/gst/GstFilter.h"

namespace media::gst {
namespace {

constexpr const char* kGraphEventName = "quadrovia-graph-event";

HRESULT ResultOfResourceError(gint code, bool fromDevice) {
  switch (code) {
    case GST_RESOURCE_ERROR_BUSY: return HRESULT_FROM_WIN32(ERROR_BUSY);
    case GST_RESOURCE_ERROR_NOT_FOUND:
      return HRESULT_FROM_WIN32(fromDevice ? ERROR_DEVICE_NOT_CONNECTED : ERROR_FILE_NOT_FOUND);
    case GST_RESOURCE_ERROR_OPEN_READ:
    case GST_RESOURCE_ERROR_READ:
      return fromDevice ? HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED) : STG_E_READFAULT;
    case GST_RESOURCE_ERROR_NOT_AUTHORIZED: return E_ACCESSDENIED;
    // A file that cannot be created: most often its folder is missing.
    case GST_RESOURCE_ERROR_OPEN_WRITE:
    case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
      return HRESULT_FROM_WIN32(fromDevice ? ERROR_DEVICE_NOT_CONNECTED : ERROR_PATH_NOT_FOUND);
    case GST_RESOURCE_ERROR_SETTINGS:
      return fromDevice ? VFW_E_NO_CAPTURE_HARDWARE : VFW_E_RUNTIME_ERROR;
    default: return fromDevice ? VFW_E_NO_CAPTURE_HARDWARE : E_FAIL;
  }
}

HRESULT ResultOfCoreError(gint code) {
  switch (code) {
    case GST_CORE_ERROR_MISSING_PLUGIN: return REGDB_E_CLASSNOTREG;
    case GST_CORE_ERROR_NEGOTIATION: return VFW_E_NO_ACCEPTABLE_TYPES;
    case GST_CORE_ERROR_STATE_CHANGE: return VFW_E_WRONG_STATE;
    default: return VFW_E_RUNTIME_ERROR;
  }
}

HRESULT ResultOfStreamError(gint code) {
  switch (code) {
    case GST_STREAM_ERROR_TYPE_NOT_FOUND:
    case GST_STREAM_ERROR_DEMUX: return VFW_E_INVALID_FILE_FORMAT;
    case GST_STREAM_ERROR_WRONG_TYPE:
    case GST_STREAM_ERROR_CODEC_NOT_FOUND:
    case GST_STREAM_ERROR_FORMAT: return VFW_E_UNSUPPORTED_STREAM;
    default: return VFW_E_RUNTIME_ERROR;
  }
}

// A capture device that stops delivering while running has been unplugged
// or has failed: these are the errors its source reports then.
bool IsDeviceLoss(const GError* error) {
  if (error->domain != GST_RESOURCE_ERROR) return false;
  switch (error->code) {
    case GST_RESOURCE_ERROR_NOT_FOUND:
    case GST_RESOURCE_ERROR_OPEN_READ:
    case GST_RESOURCE_ERROR_READ:
    case GST_RESOURCE_ERROR_FAILED:
    case GST_RESOURCE_ERROR_OPEN_READ_WRITE: return true;
    default: return false;
  }
}

GstFlowReturn FlowOf(GstMessage* message) {
  const GstStructure* details = nullptr;
  gst_message_parse_error_details(message, &details);
  gint flow = GST_FLOW_OK;
  if (details && gst_structure_has_field(details, "flow-return")) gst_structure_get_enum(details, "flow-return", GST_TYPE_FLOW_RETURN, &flow);
  return static_cast<GstFlowReturn>(flow);
}

GraphEvent ErrorEvent(GstMessage* message, GstElement* pipeline, bool running) {
  GError* raw = nullptr;
  gst_message_parse_error(message, &raw, nullptr);
  const GErrorPtr error(raw);
  const ElementRef bin = GstMessageTranslator::FilterBinOf(GST_MESSAGE_SRC(message), pipeline);
  const bool device = bin && GstFilter::IsDeviceBin(bin.get());
  if (device && running && IsDeviceLoss(error.get())) {
    // The event holds the filter, so its last reference is never dropped on
    // this (streaming) thread.
    UnknownPtr filter = GstFilter::FromBin(bin.get());
    const auto param1 = reinterpret_cast<LONG_PTR>(filter.get());
    return GraphEvent{EC_DEVICE_LOST, param1, 0, std::move(filter)};
  }
  return GraphEvent{EC_ERRORABORT, GstMessageTranslator::ResultOfError(error.get(), device, FlowOf(message)), 0, {}};
}

std::optional<GraphEvent> ApplicationEvent(GstMessage* message) {
  const GstStructure* s = gst_message_get_structure(message);
  gint code = 0;
  gint64 param1 = 0, param2 = 0;
  if (!s || !gst_structure_has_name(s, kGraphEventName) || !gst_structure_get_int(s, "code", &code))
    return std::nullopt;
  gst_structure_get_int64(s, "param1", &param1);
  gst_structure_get_int64(s, "param2", &param2);
  return GraphEvent{code, static_cast<LONG_PTR>(param1), static_cast<LONG_PTR>(param2), {}};
}

}  // namespace

std::optional<GraphEvent> GstMessageTranslator::Translate(GstMessage* message, GstElement* pipeline, bool running) {
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS: return GraphEvent{EC_COMPLETE, S_OK, 0, {}};
    case GST_MESSAGE_ERROR: return ErrorEvent(message, pipeline, running);
    case GST_MESSAGE_CLOCK_LOST: return GraphEvent{EC_CLOCK_UNSET, 0, 0, {}};
    case GST_MESSAGE_APPLICATION: return ApplicationEvent(message);
    default: return std::nullopt;
  }
}

MessageRef GstMessageTranslator::NewGraphEventMessage(GstObject* source, LONG code, LONG_PTR param1,
                                                      LONG_PTR param2) {
  GstStructure* s = gst_structure_new(kGraphEventName, "code", G_TYPE_INT, static_cast<gint>(code), "param1",
                                      G_TYPE_INT64, static_cast<gint64>(param1), "param2", G_TYPE_INT64,
                                      static_cast<gint64>(param2), nullptr);
  return MessageRef::Adopt(gst_message_new_application(source, s));
}

HRESULT GstMessageTranslator::ResultOfError(const GError* error, bool fromDevice, GstFlowReturn flow) {
  if (!error) return E_FAIL;
  if (flow == GST_FLOW_NOT_NEGOTIATED) return VFW_E_NO_ACCEPTABLE_TYPES;
  if (error->domain == GST_RESOURCE_ERROR) return ResultOfResourceError(error->code, fromDevice);
  if (error->domain == GST_CORE_ERROR) return ResultOfCoreError(error->code);
  if (error->domain == GST_STREAM_ERROR) return ResultOfStreamError(error->code);
  if (error->domain == GST_LIBRARY_ERROR) return VFW_E_RUNTIME_ERROR;
  return E_FAIL;
}

ElementRef GstMessageTranslator::FilterBinOf(GstObject* object, GstElement* pipeline) {
  ObjectRef current = ObjectRef::AddRef(object);
  while (current) {
    ObjectRef parent = ObjectRef::Adopt(gst_object_get_parent(current.get()));
    if (parent.get() == GST_OBJECT_CAST(pipeline))
      return GST_IS_ELEMENT(current.get()) ? ElementRef::AddRef(GST_ELEMENT_CAST(current.get())) : nullptr;
    current = std::move(parent);
  }
  return nullptr;
}

}  // namespace media::gst
