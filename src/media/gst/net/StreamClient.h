#pragma once
// One connection to the stream server. Owned and driven by the server thread
// only; every socket call is non-blocking. Time comes in as arguments.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "media/gst/net/HttpRequestParser.h"
#include "media/gst/net/LiveAsfStream.h"
#include "media/gst/net/StreamRequest.h"
#include "media/gst/net/UniqueFd.h"

namespace media::net {

struct ClientTimeouts {
  std::chrono::milliseconds request{5000};  // accept → complete request
  std::chrono::milliseconds stall{10000};   // queued bytes not taken by the peer; waiting for a header
  std::chrono::milliseconds linger{2000};   // after the last byte, for the peer to close
};

class StreamClient {
 public:
  using Clock = std::chrono::steady_clock;

  // Reading   the request arrives; times out after `request`.
  // Waiting   a request for the stream came before the stream has a header.
  // Streaming the answer head and header went out; packets follow the cursor.
  // Draining  the last queued bytes go out; nothing more is added.
  // Lingering the write side is shut; the peer's bytes are dropped until it
  //           closes, so that the answer is not lost to a reset.
  // Closed    the connection is over; the server removes the client.
  enum class Phase { Reading, Waiting, Streaming, Draining, Lingering, Closed };

  StreamClient(UniqueFd fd, std::size_t maxRequestBytes, ClientTimeouts timeouts, Clock::time_point now);

  int fd() const { return fd_.get(); }
  Phase phase() const { return phase_; }
  const HttpRequestParser& parser() const { return parser_; }
  StreamRequestKind kind() const { return kind_; }
  std::uint32_t clientId() const { return clientId_; }
  // A playing client: waiting for or receiving the stream.
  bool isPlaying() const;
  bool wantsWrite() const { return queued() > 0; }
  std::size_t queuedBytes() const { return queued(); }
  std::optional<Clock::time_point> deadline() const;

  // The socket is readable. true when the request has just been read, or
  // refused by the parser, and the server must answer it.
  bool onReadable(Clock::time_point now);
  // The socket failed or the peer hung up.
  void onHangUp() { close(); }
  // Queues a final answer and drains.
  void answer(std::string_view bytes, Clock::time_point now);
  // Accepts a stream request whose answer must wait for the stream's header.
  void wait(StreamRequestKind kind, std::uint32_t clientId, Clock::time_point now);
  // Queues the answer head and header and starts sending packets from cursor.
  void startStreaming(std::string_view head, std::span<const std::uint8_t> header,
                      StreamCursor cursor, Clock::time_point now);
  // In Streaming, tops up the queue from the stream; its end (or its
  // replacement by a new stream) ends this client.
  void pump(const LiveAsfStream& stream, Clock::time_point now);
  // Sends what is queued as far as the socket takes it.
  void flush(Clock::time_point now);
  // The server ends the connection: a framed player gets $E; a request still
  // being read or waiting is dropped.
  void end(Clock::time_point now);
  // Applies the deadline of the phase; true when it expired and the server
  // must answer a Reading (408) or Waiting (503) client.
  bool expire(Clock::time_point now);

 private:
  std::size_t queued() const { return out_.size() - sent_; }
  void queue(std::span<const std::uint8_t> bytes);
  void queue(std::string_view text);
  void finish(Clock::time_point now);
  void close();
  bool framed() const { return kind_ == StreamRequestKind::FramedPlay; }

  UniqueFd fd_;
  HttpRequestParser parser_;
  ClientTimeouts timeouts_;
  Phase phase_ = Phase::Reading;
  StreamRequestKind kind_ = StreamRequestKind::NotFound;
  std::uint32_t clientId_ = 0;
  StreamCursor cursor_;
  std::vector<std::uint8_t> out_;
  std::size_t sent_ = 0;
  Clock::time_point phaseStart_;
  Clock::time_point lastProgress_;
};

}  // namespace media::net
