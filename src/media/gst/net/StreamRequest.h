#pragma once
// What a request asks of the stream server, and whether it counts as a
// playing client.
#include "media/gst/net/HttpRequest.h"

namespace media::net {

enum class StreamRequestKind {
  PlainPlay,       // GET / from an ordinary client: the plain stream (counts)
  FramedDescribe,  // GET / from a framing player without xPlayStrm=1: the header only
  FramedPlay,      // GET / from a framing player with xPlayStrm=1: the framed stream (counts)
  Head,            // HEAD /: the plain answer's fields, no body
  Log,             // POST: a player's log or event report, answered 204
  NotFound,        // GET or HEAD of another path
  NotAllowed,      // any other method
};

class StreamRequest {
 public:
  static StreamRequestKind classify(const HttpRequest& request);
  // Players that speak the framed protocol name themselves by User-Agent.
  static bool announcesFraming(const HttpRequest& request);
  static bool countsAsClient(StreamRequestKind kind) {
    return kind == StreamRequestKind::PlainPlay || kind == StreamRequestKind::FramedPlay;
  }
};

}  // namespace media::net
