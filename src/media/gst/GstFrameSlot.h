#pragma once
#include <functional>
#include <memory>
#include <mutex>

#include "media/gst/GstRef.h"

class QObject;

namespace media::gst {

using SampleRef = GstRef<GstSample>;

// The newest frame of a renderer on its way from the streaming thread to the
// user-interface thread. Only the newest frame is kept, and at most one
// delivery is queued at a time: a slow user-interface thread makes frames be
// dropped, never queued, and the streaming thread never waits for it.
//
// Made, closed and delivered on the user-interface thread; Put and BeginRun
// from any thread. The streaming side may keep the slot alive after it is
// closed; it then only drops what it is given.
class GstFrameSlot : public std::enable_shared_from_this<GstFrameSlot> {
 public:
  struct Frame {
    SampleRef sample;
    // The first frame since BeginRun is in it (or was dropped for it).
    bool firstOfRun = false;
  };
  using Deliver = std::function<void(Frame)>;

  static std::shared_ptr<GstFrameSlot> Make(Deliver deliver);
  ~GstFrameSlot();
  GstFrameSlot(const GstFrameSlot&) = delete;
  GstFrameSlot& operator=(const GstFrameSlot&) = delete;

  // Keeps the frame as the newest and queues a delivery unless one is
  // queued. True for the first frame since BeginRun.
  bool Put(SampleRef sample);
  // A new stream starts: its first frame is marked.
  void BeginRun();
  // No delivery after this, also of what is queued.
  void Close();

 private:
  explicit GstFrameSlot(Deliver deliver);
  void DeliverNewest();

  std::mutex mutex_;
  std::unique_ptr<QObject> receiver_;  // nil once closed; deliveries run in its thread
  Frame newest_;
  bool queued_ = false;
  bool newRun_ = true;
  Deliver deliver_;  // user-interface thread only
};

}  // namespace media::gst
