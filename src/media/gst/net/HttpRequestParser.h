#pragma once
// Incremental, bounded reader of one HTTP request from untrusted bytes.
#include <cstddef>
#include <span>
#include <string>

#include "media/gst/net/HttpRequest.h"

namespace media::net {

class HttpRequestParser {
 public:
  // Reading: more bytes are needed. Complete: request() holds the request
  // (a body stated by Content-Length has been read and dropped). Malformed:
  // the bytes are not an HTTP/1.x request (binary bytes, a bad request line,
  // a bad Content-Length, a chunked body). TooLarge: request line, fields and
  // body exceed maxBytes. The last three are final: later bytes are ignored.
  enum class State { Reading, Complete, Malformed, TooLarge };

  explicit HttpRequestParser(std::size_t maxBytes) : maxBytes_(maxBytes) {}

  State feed(std::span<const char> bytes);
  State state() const { return state_; }
  const HttpRequest& request() const { return request_; }

 private:
  bool screen(std::size_t from) const;
  State parseHead(std::size_t headEnd);
  bool parseRequestLine(std::string_view line);
  void parseFieldLine(std::string_view line);
  State expectBody();

  std::size_t maxBytes_;
  State state_ = State::Reading;
  std::string buffer_;
  std::size_t bodyStart_ = 0;  // 0 until the head has been read
  std::size_t bodyLength_ = 0;
  HttpRequest request_;
};

}  // namespace media::net
