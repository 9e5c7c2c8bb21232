#pragma once
#include <gst/gst.h>

#include <mutex>

#include "media/gst/net/UniqueFd.h"

namespace media::gst {

// An advisory lock (flock) on the file a sink writes, held from the
// stream's first buffer to its end (the sink's EOS, after the muxer's
// header rewrite), so that the finishing of cut-off recordings, in this
// program or another, leaves a file that is being written alone. A stream
// that never ends keeps the lock until the next stream starts or the
// lock is destroyed. Locking never holds the stream up: a file another
// process has locked is written unlocked.
//
// Streaming thread (the probe) and the owner's thread; destroy it only
// while the sink is stopped.
class RecordingFileLock {
 public:
  // Watches `fileSink` (a filesink: its "location" is the file).
  explicit RecordingFileLock(GstElement* fileSink);
  ~RecordingFileLock();
  RecordingFileLock(const RecordingFileLock&) = delete;
  RecordingFileLock& operator=(const RecordingFileLock&) = delete;

  bool Held() const;

 private:
  static GstPadProbeReturn OnData(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  void Hold(GstElement* fileSink);
  void Release();

  GstPad* pad_ = nullptr;  // the sink's own pad, alive as long as the sink
  gulong probe_ = 0;
  mutable std::mutex mutex_;
  net::UniqueFd fd_;
};

}  // namespace media::gst
