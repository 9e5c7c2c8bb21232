#include "media/gst/net/HttpRequestParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace media::net {
namespace {

constexpr std::size_t kMaxMethod = 16;

bool isTokenChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return std::isalnum(u) || std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// Bytes a request head may hold: printable ASCII, blanks, line ends and the
// 8-bit bytes that field values may carry.
bool isHeadByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 0x20 && u != 0x7F) || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  return trimRight(s);
}

// End of the head: just past the empty line ("\r\n\r\n" or a bare "\n\n").
std::size_t findHeadEnd(const std::string& b, std::size_t from) {
  for (std::size_t i = from; i < b.size(); ++i) {
    if (b[i] != '\n') continue;
    if (i + 1 < b.size() && b[i + 1] == '\n') return i + 2;
    if (i + 2 < b.size() && b[i + 1] == '\r' && b[i + 2] == '\n') return i + 3;
  }
  return std::string::npos;
}

}  // namespace

HttpRequestParser::State HttpRequestParser::feed(std::span<const char> bytes) {
  if (state_ != State::Reading || bytes.empty()) return state_;
  const std::size_t before = buffer_.size();
  const std::size_t room = maxBytes_ + 1 - std::min(before, maxBytes_ + 1);
  buffer_.append(bytes.data(), std::min(bytes.size(), room));
  if (bodyStart_ != 0) return state_ = expectBody();
  if (!screen(before)) return state_ = State::Malformed;
  const std::size_t headEnd = findHeadEnd(buffer_, before > 2 ? before - 2 : 0);
  if (headEnd == std::string::npos)
    return state_ = buffer_.size() > maxBytes_ ? State::TooLarge : State::Reading;
  if (headEnd > maxBytes_) return state_ = State::TooLarge;
  return state_ = parseHead(headEnd);
}

// Rejects non-HTTP bytes as early as they arrive: the request must open with
// an upper-case method name followed by a space, and the head holds no
// control bytes.
bool HttpRequestParser::screen(std::size_t from) const {
  const std::size_t space = std::min(buffer_.find(' '), buffer_.size());
  if (space == 0 || space > kMaxMethod) return false;
  for (std::size_t i = from; i < buffer_.size(); ++i) {
    const char c = buffer_[i];
    if (!isHeadByte(c) || (i < space && (c < 'A' || c > 'Z'))) return false;
  }
  return true;
}

HttpRequestParser::State HttpRequestParser::parseHead(std::size_t headEnd) {
  std::string_view head(buffer_.data(), headEnd);
  const auto lineEnd = head.find('\n');
  if (!parseRequestLine(trimBlanks(head.substr(0, lineEnd)))) return State::Malformed;
  for (std::size_t at = lineEnd + 1; at < headEnd;) {
    const auto end = head.find('\n', at);
    parseFieldLine(head.substr(at, end - at));
    at = end + 1;
  }
  if (!request_.field("Transfer-Encoding").empty()) return State::Malformed;
  const std::string_view length = request_.field("Content-Length");
  if (!length.empty()) {
    const auto [p, ec] = std::from_chars(length.data(), length.data() + length.size(), bodyLength_);
    if (ec != std::errc() || p != length.data() + length.size()) return State::Malformed;
    if (bodyLength_ > maxBytes_ - headEnd) return State::TooLarge;
  }
  bodyStart_ = headEnd;
  return expectBody();
}

HttpRequestParser::State HttpRequestParser::expectBody() {
  if (buffer_.size() - bodyStart_ < bodyLength_) return State::Reading;
  buffer_.clear();
  return State::Complete;
}

bool HttpRequestParser::parseRequestLine(std::string_view line) {
  const auto first = line.find(' ');
  const auto last = line.rfind(' ');
  if (first == std::string_view::npos || first == last) return false;
  request_.method = line.substr(0, first);
  request_.target = trimBlanks(line.substr(first + 1, last - first - 1));
  request_.version = line.substr(last + 1);
  const std::string_view v = request_.version;
  const bool version = v.size() == 8 && v.starts_with("HTTP/1.") && std::isdigit(static_cast<unsigned char>(v[7]));
  const bool target = !request_.target.empty() && request_.target.find(' ') == std::string::npos;
  return version && target;
}

// Lenient: a line that is no "name: value" field is skipped; a line starting
// with a blank continues the previous field.
void HttpRequestParser::parseFieldLine(std::string_view line) {
  line = trimRight(line);
  if (line.empty()) return;
  if ((line.front() == ' ' || line.front() == '\t') && !request_.fields.empty()) {
    request_.fields.back().value += ' ';
    request_.fields.back().value += trimBlanks(line);
    return;
  }
  const auto colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0) return;
  const std::string_view name = line.substr(0, colon);
  for (char c : name)
    if (!isTokenChar(c)) return;
  request_.fields.push_back({std::string(name), std::string(trimBlanks(line.substr(colon + 1)))});
}

}  // namespace media::net
