#pragma once
// Feeds an AsfStreamServer from the appsink that ends a network branch
// "asfmux streamable=true ! appsink": the header from the caps' streamheader
// (or from the first buffer flagged as header when the caps carry none), then
// the data cut at the header's packet size. The branch never fails or blocks
// because of the network: every sample is accepted.
//
// Threading: callbacks run on the appsink's streaming thread and only feed
// the server. The feed is made and destroyed on the owner's thread; once the
// destructor returns no callback reaches the server any more.
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <memory>

#include "media/gst/GstRef.h"

namespace media::net {

class AsfStreamServer;

class AsfAppSinkFeed {
 public:
  // appsink must be a GstAppSink; the feed takes its own reference, installs
  // its callbacks and sets sync=false. server must outlive the feed.
  AsfAppSinkFeed(GstElement* appsink, AsfStreamServer& server);
  ~AsfAppSinkFeed();
  AsfAppSinkFeed(const AsfAppSinkFeed&) = delete;
  AsfAppSinkFeed& operator=(const AsfAppSinkFeed&) = delete;

 private:
  struct State;
  using StatePtr = std::shared_ptr<State>;  // what the callbacks' user data points to
  static GstFlowReturn onNewSample(GstAppSink* sink, gpointer state);
  static void onEos(GstAppSink* sink, gpointer state);
  static void releaseState(gpointer state);

  gst::ElementRef sink_;
  std::shared_ptr<State> state_;
};

}  // namespace media::net
