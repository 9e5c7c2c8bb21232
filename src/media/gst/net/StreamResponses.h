#pragma once
// The HTTP answer heads of the stream server. All answers are HTTP/1.0 and
// end with the connection.
#include <cstddef>
#include <cstdint>
#include <string>

namespace media::net {

class StreamResponses {
 public:
  // The plain stream: header and packets follow until the connection ends.
  static std::string plainStream();
  // Answer to a describe: Content-Length bytes of one $H chunk follow.
  static std::string framedDescribe(std::uint32_t clientId, std::size_t contentLength);
  // Answer to a play: the $H chunk, then $D chunks, then $E.
  static std::string framedPlay(std::uint32_t clientId);
  // A bodiless answer such as "204 No Content" or "503 Service Unavailable".
  static std::string status(int code);
  static const char* reason(int code);
};

}  // namespace media::net
