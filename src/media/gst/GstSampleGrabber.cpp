#include "media/gst/GstSampleGrabber.h"

#include <gst/video/video.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>

#include "media/framework/Identifiers.h"
#include "media/gst/GstMediaTypes.h"

namespace media::gst {

// What the probe and the interface calls share. The probe holds its own
// reference, so the state outlives the filter while a buffer is in flight.
struct GstSampleGrabber::Shared {
  std::mutex mutex;  // guards the members up to `lastCaps`
  bool buffering = false;
  bool oneShot = false;
  // The raw video format samples are handed out in; unknown when they are
  // handed out as they come.
  GstVideoFormat format = GST_VIDEO_FORMAT_UNKNOWN;
  GstRef<GstBuffer> last;
  CapsRef lastCaps;  // the format `last` came in

  std::mutex callbackMutex;  // held while the callback runs
  ISampleGrabberCB* callback = nullptr;
  LONG which = 0;

  // Streaming thread only.
  GstSegment segment{};
  CapsRef streamCaps;
  bool shotTaken = false;
  guint32 streamSeqnum = GST_SEQNUM_INVALID;

  GstPadProbeReturn OnEvent(GstEvent* event);
  GstPadProbeReturn OnBuffer(GstBuffer* buffer);
  void Deliver(GstBuffer* buffer, GstVideoFormat format);
};

namespace {

// The raw video format a media type's caps fix, unknown when they fix none.
GstVideoFormat FixedVideoFormat(const GstCaps* type) {
  if (!type || gst_caps_is_any(type) || gst_caps_get_size(type) != 1) return GST_VIDEO_FORMAT_UNKNOWN;
  const GstStructure* structure = gst_caps_get_structure(type, 0);
  const char* format = gst_structure_get_string(structure, "format");
  if (!gst_structure_has_name(structure, "video/x-raw") || !format) return GST_VIDEO_FORMAT_UNKNOWN;
  return gst_video_format_from_string(format);
}

// The layout a frame of `frameCaps` is handed out in when it must be
// converted to `format` first; nullopt when it is handed out as it came (in
// that format already, no format asked for, or not raw video).
std::optional<GstVideoInfo> ConversionTo(const GstCaps* frameCaps, GstVideoFormat format) {
  GstVideoInfo in, out;
  if (format == GST_VIDEO_FORMAT_UNKNOWN || !frameCaps || !gst_video_info_from_caps(&in, frameCaps) ||
      GST_VIDEO_INFO_FORMAT(&in) == format)
    return std::nullopt;
  if (!gst_video_info_set_format(&out, format, GST_VIDEO_INFO_WIDTH(&in), GST_VIDEO_INFO_HEIGHT(&in)))
    return std::nullopt;
  GST_VIDEO_INFO_FPS_N(&out) = GST_VIDEO_INFO_FPS_N(&in);
  GST_VIDEO_INFO_FPS_D(&out) = GST_VIDEO_INFO_FPS_D(&in);
  GST_VIDEO_INFO_PAR_N(&out) = GST_VIDEO_INFO_PAR_N(&in);
  GST_VIDEO_INFO_PAR_D(&out) = GST_VIDEO_INFO_PAR_D(&in);
  return out;
}

// A frame of `frameCaps` converted to `layout`; nil when it cannot be.
GstRef<GstBuffer> Converted(GstBuffer* buffer, const GstCaps* frameCaps, const GstVideoInfo& layout) {
  GstVideoInfo in;
  if (!gst_video_info_from_caps(&in, frameCaps)) return nullptr;
  GstRef<GstBuffer> result = GstRef<GstBuffer>::Adopt(gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&layout), nullptr));
  GstVideoFrame from, to;
  if (!result || !gst_video_frame_map(&from, &in, buffer, GST_MAP_READ)) return nullptr;
  if (!gst_video_frame_map(&to, &layout, result.get(), GST_MAP_WRITE)) {
    gst_video_frame_unmap(&from);
    return nullptr;
  }
  GstVideoConverter* converter = gst_video_converter_new(&in, &layout, nullptr);
  if (converter) gst_video_converter_frame(converter, &from, &to);
  gst_video_frame_unmap(&to);
  gst_video_frame_unmap(&from);
  if (!converter) return nullptr;
  gst_video_converter_free(converter);
  gst_buffer_copy_into(result.get(), buffer, GST_BUFFER_COPY_TIMESTAMPS, 0, -1);
  return result;
}

// The sample handed to SampleCB: the buffer, mapped for the call.
class MappedSample : public IMediaSample {
 public:
  MappedSample(GstBuffer* buffer, GstClockTime runningTime) : buffer_(buffer), time_(runningTime) {
    mapped_ = gst_buffer_map(buffer_, &map_, GST_MAP_READ);
  }
  ~MappedSample() override {
    if (mapped_) gst_buffer_unmap(buffer_, &map_);
  }
  HRESULT GetPointer(std::uint8_t*& bytes) override {
    bytes = mapped_ ? const_cast<std::uint8_t*>(map_.data) : nullptr;
    return mapped_ ? S_OK : E_FAIL;
  }
  LONG GetActualDataLength() override { return mapped_ ? static_cast<LONG>(map_.size) : 0; }
  HRESULT GetTime(REFERENCE_TIME& start, REFERENCE_TIME& end) override {
    if (!GST_CLOCK_TIME_IS_VALID(time_)) return VFW_E_NO_CLOCK;  // the sample has no time
    start = static_cast<REFERENCE_TIME>(time_ / 100);
    const GstClockTime duration = GST_BUFFER_DURATION(buffer_);
    end = start + (GST_CLOCK_TIME_IS_VALID(duration) ? static_cast<REFERENCE_TIME>(duration / 100) : 0);
    return S_OK;
  }

 private:
  GstBuffer* buffer_;
  GstClockTime time_;
  GstMapInfo map_{};
  bool mapped_ = false;
};

}  // namespace

GstPadProbeReturn GstSampleGrabber::OnProbe(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& shared = *static_cast<std::shared_ptr<Shared>*>(data);
  if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER)
    return shared->OnBuffer(GST_PAD_PROBE_INFO_BUFFER(info));
  return shared->OnEvent(GST_PAD_PROBE_INFO_EVENT(info));
}

GstPadProbeReturn GstSampleGrabber::Shared::OnEvent(GstEvent* event) {
  switch (GST_EVENT_TYPE(event)) {
    case GST_EVENT_SEGMENT: gst_event_copy_segment(event, &segment); break;
    case GST_EVENT_CAPS: {
      GstCaps* caps = nullptr;
      gst_event_parse_caps(event, &caps);
      streamCaps = CapsRef::AddRef(caps);
      break;
    }
    case GST_EVENT_STREAM_START:
      // A new run (not the same event sent again after a relink).
      if (gst_event_get_seqnum(event) != streamSeqnum) {
        streamSeqnum = gst_event_get_seqnum(event);
        shotTaken = false;
      }
      break;
    default: break;
  }
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn GstSampleGrabber::Shared::OnBuffer(GstBuffer* buffer) {
  bool drop = false;
  GstVideoFormat wanted = GST_VIDEO_FORMAT_UNKNOWN;
  {
    std::lock_guard lock(mutex);
    drop = oneShot && shotTaken;
    if (!drop && buffering) {
      last = GstRef<GstBuffer>::AddRef(buffer);
      lastCaps = streamCaps;
    }
    if (oneShot) shotTaken = true;
    wanted = format;
  }
  if (drop) return GST_PAD_PROBE_DROP;
  Deliver(buffer, wanted);
  return GST_PAD_PROBE_OK;
}

void GstSampleGrabber::Shared::Deliver(GstBuffer* passing, GstVideoFormat wanted) {
  std::lock_guard lock(callbackMutex);
  if (!callback) return;
  // Frames come in another format only when the callback was installed
  // after the input was connected for a grabber without one.
  GstRef<GstBuffer> converted;
  if (const auto layout = ConversionTo(streamCaps.get(), wanted))
    converted = Converted(passing, streamCaps.get(), *layout);
  GstBuffer* buffer = converted ? converted.get() : passing;
  const GstClockTime time = GST_BUFFER_PTS_IS_VALID(buffer) && segment.format == GST_FORMAT_TIME
                                ? gst_segment_to_running_time(&segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer))
                                : GST_CLOCK_TIME_NONE;
  const double seconds = GST_CLOCK_TIME_IS_VALID(time) ? static_cast<double>(time) / GST_SECOND : 0.0;
  MappedSample sample(buffer, time);
  if (which == 0) {
    callback->SampleCB(seconds, &sample);
    return;
  }
  std::uint8_t* bytes = nullptr;
  if (SUCCEEDED(sample.GetPointer(bytes))) callback->BufferCB(seconds, bytes, sample.GetActualDataLength());
}

GstSampleGrabber::GstSampleGrabber()
    : GstFilter(CLSID_SampleGrabber, u"SampleGrabber"), shared_(std::make_shared<Shared>()) {
  gst_segment_init(&shared_->segment, GST_FORMAT_UNDEFINED);
  filter_ = AddElement("capsfilter");
  if (!filter_) return;
  const PadRef in = PadRef::Adopt(gst_element_get_static_pad(filter_, "sink"));
  const PadRef out = PadRef::Adopt(gst_element_get_static_pad(filter_, "src"));
  AddPin(u"Input", PINDIR_INPUT, in.get());
  AddPin(u"Output", PINDIR_OUTPUT, out.get());
  gst_pad_add_probe(out.get(), GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                    &GstSampleGrabber::OnProbe, new std::shared_ptr<Shared>(shared_),
                    [](gpointer data) { delete static_cast<std::shared_ptr<Shared>*>(data); });
}

GstSampleGrabber::~GstSampleGrabber() { gst_element_set_state(Bin(), GST_STATE_NULL); }

std::shared_ptr<GstSampleGrabber> GstSampleGrabber::Make() {
  auto grabber = std::make_shared<GstSampleGrabber>();
  return grabber->IsComplete() ? grabber : nullptr;
}

HRESULT GstSampleGrabber::SetOneShot(bool oneShot) {
  std::lock_guard lock(shared_->mutex);
  shared_->oneShot = oneShot;
  return S_OK;
}

HRESULT GstSampleGrabber::SetMediaType(const AM_MEDIA_TYPE& mediaType) {
  CapsRef caps = GstMediaTypes::CapsFromMediaType(mediaType);
  if (!caps) return VFW_E_INVALIDMEDIATYPE;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->format = FixedVideoFormat(caps.get());
  }
  type_ = std::move(caps);
  bool everyFrameTaken = false;
  {
    std::lock_guard lock(shared_->callbackMutex);
    everyFrameTaken = shared_->callback != nullptr;
  }
  Accept(everyFrameTaken);
  return S_OK;
}

void GstSampleGrabber::Accept(bool everyFrameTaken) {
  if (!type_) return;
  CapsRef accepted = CapsRef::Adopt(gst_caps_copy(type_.get()));
  // No one takes every frame: frames pass in the format they come in and
  // only the one asked for is converted.
  if (!everyFrameTaken && FixedVideoFormat(accepted.get()) != GST_VIDEO_FORMAT_UNKNOWN)
    gst_structure_remove_field(gst_caps_get_structure(accepted.get(), 0), "format");
  g_object_set(filter_, "caps", accepted.get(), nullptr);
}

HRESULT GstSampleGrabber::GetConnectedMediaType(AM_MEDIA_TYPE& mediaType) {
  mediaType = AM_MEDIA_TYPE{};
  const GstPinPtr input = Input();
  CapsRef connection = input ? input->ConnectionFormat() : nullptr;
  if (!connection) return VFW_E_NOT_CONNECTED;
  GstVideoFormat format = GST_VIDEO_FORMAT_UNKNOWN;
  {
    std::lock_guard lock(shared_->mutex);
    format = shared_->format;
  }
  // The type the samples are handed out in, which the frames passing may
  // not have yet.
  if (const auto layout = ConversionTo(connection.get(), format))
    connection = CapsRef::Adopt(gst_video_info_to_caps(&*layout));
  return GstMediaTypes::MediaTypeFromCaps(connection.get(), mediaType);
}

HRESULT GstSampleGrabber::SetBufferSamples(bool buffer) {
  std::lock_guard lock(shared_->mutex);
  shared_->buffering = buffer;
  if (!buffer) {
    shared_->last.reset();
    shared_->lastCaps.reset();
  }
  return S_OK;
}

HRESULT GstSampleGrabber::GetCurrentBuffer(LONG& bufferSize, std::uint8_t* buffer) {
  GstRef<GstBuffer> last;
  CapsRef caps;
  GstVideoFormat format = GST_VIDEO_FORMAT_UNKNOWN;
  {
    std::lock_guard lock(shared_->mutex);
    if (!shared_->buffering) return E_INVALIDARG;
    last = shared_->last;
    caps = shared_->lastCaps;
    format = shared_->format;
  }
  if (!last) return VFW_E_WRONG_STATE;
  const auto layout = ConversionTo(caps.get(), format);
  const gsize size = layout ? GST_VIDEO_INFO_SIZE(&*layout) : gst_buffer_get_size(last.get());
  if (!buffer) {
    bufferSize = static_cast<LONG>(size);
    return S_OK;
  }
  if (layout) last = Converted(last.get(), caps.get(), *layout);
  if (!last) return E_FAIL;
  const gsize count = std::min<gsize>(size, static_cast<gsize>(std::max<LONG>(bufferSize, 0)));
  bufferSize = static_cast<LONG>(gst_buffer_extract(last.get(), 0, buffer, count));
  return S_OK;
}

HRESULT GstSampleGrabber::SetCallback(ISampleGrabberCB* callback, LONG which) {
  if (which != 0 && which != 1) return E_INVALIDARG;
  {
    std::lock_guard lock(shared_->callbackMutex);
    shared_->callback = callback;
    shared_->which = which;
  }
  // A connection keeps the formats it was made for: a callback installed
  // later gets its frames converted one by one instead.
  const GstPinPtr input = Input();
  if (input && !input->IsConnected()) Accept(callback != nullptr);
  return S_OK;
}

}  // namespace media::gst
