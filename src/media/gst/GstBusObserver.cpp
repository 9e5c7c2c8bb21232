#include "media/gst/GstBusObserver.h"

namespace media::gst {
namespace {

GstBusSyncReply Dispatch(GstBus*, GstMessage* message, gpointer data) {
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
