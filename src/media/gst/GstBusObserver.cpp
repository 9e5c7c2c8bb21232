#include "media/gst/GstBusObserver.h"

namespace media::gst {
namespace {

// A sync handler that answers GST_BUS_DROP owns the message: it is released
// here once the handler has seen it.
GstBusSyncReply Dispatch(GstBus*, GstMessage* message, gpointer data) {
  const MessageRef owned = MessageRef::Adopt(message);
  (*static_cast<GstBusObserver::Handler*>(data))(message);
  return GST_BUS_DROP;
}

void DeleteHandler(gpointer data) { delete static_cast<GstBusObserver::Handler*>(data); }

}  // namespace

GstBusObserver::GstBusObserver(BusRef bus, Handler handler) : bus_(std::move(bus)) {
  gst_bus_set_sync_handler(bus_.get(), Dispatch, new Handler(std::move(handler)), DeleteHandler);
}

GstBusObserver::~GstBusObserver() { gst_bus_set_sync_handler(bus_.get(), nullptr, nullptr, nullptr); }

}  // namespace media::gst
