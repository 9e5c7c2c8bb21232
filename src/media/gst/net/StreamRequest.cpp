#include "media/gst/net/StreamRequest.h"

namespace media::net {

bool StreamRequest::announcesFraming(const HttpRequest& request) {
  const std::string_view agent = request.field("User-Agent");
  for (std::string_view prefix : {"NSPlayer/", "NSServer/", "WMCacheProxy/"})
    if (startsWithNoCase(agent, prefix)) return true;
  return false;
}

StreamRequestKind StreamRequest::classify(const HttpRequest& request) {
  if (request.method == "POST") return StreamRequestKind::Log;
  const bool get = request.method == "GET";
  if (!get && request.method != "HEAD") return StreamRequestKind::NotAllowed;
  if (request.path() != "/") return StreamRequestKind::NotFound;
  if (!get) return StreamRequestKind::Head;
  if (!announcesFraming(request)) return StreamRequestKind::PlainPlay;
  return request.hasPragma("xPlayStrm", "1") ? StreamRequestKind::FramedPlay
                                            : StreamRequestKind::FramedDescribe;
}

}  // namespace media::net
