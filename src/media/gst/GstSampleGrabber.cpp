#include "media/gst/GstSampleGrabber.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "media/framework/Identifiers.h"
#include "media/gst/GstMediaTypes.h"

namespace media::gst {

// What the probe and the interface calls share. The probe holds its own
// reference, so the state outlives the filter while a buffer is in flight.
struct GstSampleGrabber::Shared {
  std::mutex mutex;  // guards the members up to `last`
  bool buffering = false;
  bool oneShot = false;
  GstRef<GstBuffer> last;

  std::mutex callbackMutex;  // held while the callback runs
  ISampleGrabberCB* callback = nullptr;
  LONG which = 0;

  // Streaming thread only.
  GstSegment segment{};
  bool shotTaken = false;
  guint32 streamSeqnum = GST_SEQNUM_INVALID;

  GstPadProbeReturn OnEvent(GstEvent* event);
  GstPadProbeReturn OnBuffer(GstBuffer* buffer);
  void Deliver(GstBuffer* buffer);
};

namespace {

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
  {
    std::lock_guard lock(mutex);
    drop = oneShot && shotTaken;
    if (!drop && buffering) last = GstRef<GstBuffer>::AddRef(buffer);
    if (oneShot) shotTaken = true;
  }
  if (drop) return GST_PAD_PROBE_DROP;
  Deliver(buffer);
  return GST_PAD_PROBE_OK;
}

void GstSampleGrabber::Shared::Deliver(GstBuffer* buffer) {
  std::lock_guard lock(callbackMutex);
  if (!callback) return;
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
  const CapsRef caps = GstMediaTypes::CapsFromMediaType(mediaType);
  if (!caps) return VFW_E_INVALIDMEDIATYPE;
  g_object_set(filter_, "caps", caps.get(), nullptr);
  return S_OK;
}

HRESULT GstSampleGrabber::GetConnectedMediaType(AM_MEDIA_TYPE& mediaType) {
  mediaType = AM_MEDIA_TYPE{};
  const GstPinPtr input = Input();
  if (!input || !input->IsConnected()) return VFW_E_NOT_CONNECTED;
  return input->ConnectionMediaType(mediaType);
}

HRESULT GstSampleGrabber::SetBufferSamples(bool buffer) {
  std::lock_guard lock(shared_->mutex);
  shared_->buffering = buffer;
  if (!buffer) shared_->last.reset();
  return S_OK;
}

HRESULT GstSampleGrabber::GetCurrentBuffer(LONG& bufferSize, std::uint8_t* buffer) {
  GstRef<GstBuffer> last;
  {
    std::lock_guard lock(shared_->mutex);
    if (!shared_->buffering) return E_INVALIDARG;
    last = shared_->last;
  }
  if (!last) return VFW_E_WRONG_STATE;
  const gsize size = gst_buffer_get_size(last.get());
  if (!buffer) {
    bufferSize = static_cast<LONG>(size);
    return S_OK;
  }
  const gsize count = std::min<gsize>(size, static_cast<gsize>(std::max<LONG>(bufferSize, 0)));
  bufferSize = static_cast<LONG>(gst_buffer_extract(last.get(), 0, buffer, count));
  return S_OK;
}

HRESULT GstSampleGrabber::SetCallback(ISampleGrabberCB* callback, LONG which) {
  if (which != 0 && which != 1) return E_INVALIDARG;
  std::lock_guard lock(shared_->callbackMutex);
  shared_->callback = callback;
  shared_->which = which;
  return S_OK;
}

}  // namespace media::gst
