#include "media/gst/net/StreamClient.h"

#include <sys/socket.h>

#include <cerrno>

#include "media/gst/net/WmspFrame.h"

namespace media::net {
namespace {

// The queue is topped up below kLowWater with about kBatch bytes, so a client
// never holds more than one batch beyond what the kernel buffers.
constexpr std::size_t kLowWater = 16 * 1024;
constexpr std::size_t kBatch = 64 * 1024;
constexpr int kReadsPerEvent = 4;

}  // namespace

StreamClient::StreamClient(UniqueFd fd, std::size_t maxRequestBytes, ClientTimeouts timeouts,
                           Clock::time_point now)
    : fd_(std::move(fd)), parser_(maxRequestBytes), timeouts_(timeouts), phaseStart_(now), lastProgress_(now) {}

bool StreamClient::isPlaying() const {
  return (phase_ == Phase::Waiting || phase_ == Phase::Streaming) && StreamRequest::countsAsClient(kind_);
}

std::optional<StreamClient::Clock::time_point> StreamClient::deadline() const {
  switch (phase_) {
    case Phase::Reading: return phaseStart_ + timeouts_.request;
    case Phase::Waiting: return phaseStart_ + timeouts_.stall;
    case Phase::Streaming:
    case Phase::Draining:
      if (queued() == 0) return std::nullopt;
      return lastProgress_ + timeouts_.stall;
    case Phase::Lingering: return phaseStart_ + timeouts_.linger;
    case Phase::Closed: return std::nullopt;
  }
  return std::nullopt;
}

bool StreamClient::onReadable(Clock::time_point /*now*/) {
  char buffer[4096];
  for (int i = 0; i < kReadsPerEvent && phase_ != Phase::Closed; ++i) {
    const ssize_t n = ::recv(fd_.get(), buffer, sizeof(buffer), MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
    if (n <= 0) {
      close();
      return false;
    }
    if (phase_ == Phase::Reading &&
        parser_.feed({buffer, static_cast<std::size_t>(n)}) != HttpRequestParser::State::Reading)
      return true;
  }
  return false;
}

void StreamClient::answer(std::string_view bytes, Clock::time_point now) {
  if (phase_ == Phase::Closed) return;
  queue(bytes);
  phase_ = Phase::Draining;
  phaseStart_ = lastProgress_ = now;
  flush(now);
}

void StreamClient::wait(StreamRequestKind kind, std::uint32_t clientId, Clock::time_point now) {
  kind_ = kind;
  clientId_ = clientId;
  phase_ = Phase::Waiting;
  phaseStart_ = now;
}

void StreamClient::startStreaming(std::string_view head, std::span<const std::uint8_t> header,
                                  StreamCursor cursor, Clock::time_point now) {
  queue(head);
  queue(header);
  cursor_ = cursor;
  phase_ = Phase::Streaming;
  phaseStart_ = lastProgress_ = now;
  flush(now);
}

void StreamClient::pump(const LiveAsfStream& stream, Clock::time_point now) {
  if (phase_ != Phase::Streaming || queued() >= kLowWater) return;
  StreamRead read = stream.read(cursor_, kBatch);
  for (const RingPacket& packet : read.packets) {
    if (framed())
      WmspFrame::appendData(out_, *packet.bytes, static_cast<std::uint32_t>(packet.seq));
    else
      queue(*packet.bytes);
  }
  if (read.status != StreamRead::Status::Live) {
    if (framed()) WmspFrame::appendEnd(out_);
    phase_ = Phase::Draining;
  }
  flush(now);
}

void StreamClient::flush(Clock::time_point now) {
  while (queued() > 0 && phase_ != Phase::Closed) {
    const ssize_t n = ::send(fd_.get(), out_.data() + sent_, queued(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (n < 0) return close();
    sent_ += static_cast<std::size_t>(n);
    lastProgress_ = now;
  }
  if (sent_ == out_.size()) {
    out_.clear();
    sent_ = 0;
  } else if (sent_ >= kBatch) {
    out_.erase(out_.begin(), out_.begin() + static_cast<std::ptrdiff_t>(sent_));
    sent_ = 0;
  }
  if (phase_ == Phase::Draining && queued() == 0) finish(now);
}

void StreamClient::end(Clock::time_point now) {
  if (phase_ == Phase::Reading || phase_ == Phase::Waiting) return close();
  if (phase_ != Phase::Streaming) return;
  if (framed()) WmspFrame::appendEnd(out_);
  phase_ = Phase::Draining;
  flush(now);
}

bool StreamClient::expire(Clock::time_point now) {
  const auto due = deadline();
  if (!due || now < *due) return false;
  if (phase_ == Phase::Reading || phase_ == Phase::Waiting) return true;
  close();
  return false;
}

void StreamClient::queue(std::span<const std::uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

void StreamClient::queue(std::string_view text) { out_.insert(out_.end(), text.begin(), text.end()); }

void StreamClient::finish(Clock::time_point now) {
  ::shutdown(fd_.get(), SHUT_WR);
  phase_ = Phase::Lingering;
  phaseStart_ = now;
}

void StreamClient::close() {
  fd_.reset();
  phase_ = Phase::Closed;
}

}  // namespace media::net
