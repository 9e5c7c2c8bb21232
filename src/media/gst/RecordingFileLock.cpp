#include "media/gst/RecordingFileLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include "media/gst/GstRef.h"

namespace media::gst {

RecordingFileLock::RecordingFileLock(GstElement* fileSink) {
  const PadRef pad = PadRef::Adopt(gst_element_get_static_pad(fileSink, "sink"));
  pad_ = pad.get();
  probe_ = gst_pad_add_probe(pad_, GST_PAD_PROBE_TYPE_DATA_DOWNSTREAM, &RecordingFileLock::OnData, this, nullptr);
}

RecordingFileLock::~RecordingFileLock() {
  if (pad_ && probe_) gst_pad_remove_probe(pad_, probe_);
}

bool RecordingFileLock::Held() const {
  const std::lock_guard guard(mutex_);
  return static_cast<bool>(fd_);
}

GstPadProbeReturn RecordingFileLock::OnData(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
  auto& lock = *static_cast<RecordingFileLock*>(self);
  if (GST_PAD_PROBE_INFO_TYPE(info) & (GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST)) {
    if (!lock.Held()) {
      const ElementRef sink = ElementRef::Adopt(gst_pad_get_parent_element(pad));
      if (sink) lock.Hold(sink.get());
    }
    return GST_PAD_PROBE_OK;
  }
  const GstEventType type = GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info));
  if (type == GST_EVENT_EOS || type == GST_EVENT_STREAM_START) lock.Release();
  return GST_PAD_PROBE_OK;
}

// The sink has opened the file by its first buffer, and nothing is in it
// yet: a file with any byte of a recording in it is locked.
void RecordingFileLock::Hold(GstElement* fileSink) {
  const std::string location = TakeString([&] {
    gchar* text = nullptr;
    g_object_get(fileSink, "location", &text, nullptr);
    return text;
  }());
  if (location.empty()) return;
  net::UniqueFd fd(::open(location.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return;
  const std::lock_guard guard(mutex_);
  fd_ = std::move(fd);
}

void RecordingFileLock::Release() {
  const std::lock_guard guard(mutex_);
  fd_.reset();
}

}  // namespace media::gst
