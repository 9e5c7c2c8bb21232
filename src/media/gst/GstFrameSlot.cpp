#include "media/gst/GstFrameSlot.h"

#include <QMetaObject>
#include <QObject>

namespace media::gst {

std::shared_ptr<GstFrameSlot> GstFrameSlot::Make(Deliver deliver) {
  return std::shared_ptr<GstFrameSlot>(new GstFrameSlot(std::move(deliver)));
}

GstFrameSlot::GstFrameSlot(Deliver deliver) : receiver_(std::make_unique<QObject>()), deliver_(std::move(deliver)) {}

// The receiver is gone already when the slot was closed; a slot dropped
// without closing was never shared with a streaming thread.
GstFrameSlot::~GstFrameSlot() = default;

bool GstFrameSlot::Put(SampleRef sample) {
  std::lock_guard lock(mutex_);
  if (!receiver_) return false;
  const bool first = std::exchange(newRun_, false);
  newest_.sample = std::move(sample);
  newest_.firstOfRun = newest_.firstOfRun || first;
  if (!queued_) {
    queued_ = true;
    QMetaObject::invokeMethod(
        receiver_.get(),
        [weak = weak_from_this()] {
          if (auto self = weak.lock()) self->DeliverNewest();
        },
        Qt::QueuedConnection);
  }
  return first;
}

void GstFrameSlot::BeginRun() {
  std::lock_guard lock(mutex_);
  newRun_ = true;
}

void GstFrameSlot::Close() {
  std::unique_ptr<QObject> receiver;
  {
    std::lock_guard lock(mutex_);
    receiver = std::move(receiver_);
    newest_ = Frame{};
  }
  // Deleting the receiver drops a delivery still queued for it.
  receiver.reset();
  deliver_ = nullptr;
}

void GstFrameSlot::DeliverNewest() {
  Frame frame;
  {
    std::lock_guard lock(mutex_);
    if (!receiver_) return;
    frame = std::exchange(newest_, Frame{});
    queued_ = false;
  }
  if (frame.sample && deliver_) deliver_(std::move(frame));
}

}  // namespace media::gst
