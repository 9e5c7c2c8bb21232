#pragma once
// HTTP server of one writer's live ASF stream.
//
// Clients get the broadcast header and then whole packets, starting at the
// packet that holds the start of the newest key frame: as plain HTTP, or in
// the framed protocol for players that announce it by User-Agent (a describe
// request gets the header, a play request the stream). At most
// maximumClients() clients play at once; the next one gets 503 while the
// others go on. Describes, POSTed logs (204) and other requests do not count.
// Oversized, slow or non-HTTP requests are refused and closed. A client that
// cannot keep up skips forward to a newer key frame, or is dropped when it
// takes nothing for the stall time; no client is buffered without bound.
//
// Threading: open() starts one server thread that does all network work with
// non-blocking sockets; close() (also run by the destructor) stops and joins
// it. The control calls (open, close, disconnect, setMaximumClients) come from
// one thread at a time, the owner's. The feed calls (setHeader, pushPacket,
// endOfStream) come from the muxer's streaming thread; they copy the data
// under a short lock and wake the server thread, and never wait on a client.
// The feed may start before open() and goes on across close() and open().
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

#include "media/gst/net/ListenSocket.h"
#include "media/gst/net/LiveAsfStream.h"
#include "media/gst/net/StreamClient.h"
#include "media/gst/net/WakeEvent.h"

namespace media::net {

struct ServerLimits {
  std::size_t maxRequestBytes = 8 * 1024;
  // Connections that are not playing (requests being read, answers going
  // out); more are closed as soon as they are accepted.
  std::size_t maxPendingConnections = 64;
  // Kernel send buffer of each connection. Kept small (the kernel would
  // otherwise grow it to megabytes) so that a client that reads nothing shows
  // as stalled, and one that reads slowly as lagging, within seconds.
  int socketSendBuffer = 64 * 1024;
  ClientTimeouts timeouts;
  LiveStreamLimits stream;
};

class AsfStreamServer {
 public:
  explicit AsfStreamServer(ServerLimits limits = {});
  ~AsfStreamServer();
  AsfStreamServer(const AsfStreamServer&) = delete;
  AsfStreamServer& operator=(const AsfStreamServer&) = delete;

  // Takes effect for the next requests; clients already playing stay. 0 lets
  // nobody play.
  void setMaximumClients(std::uint32_t count) { maxClients_ = count; }
  std::uint32_t maximumClients() const { return maxClients_; }

  // Listens on all interfaces at port (0: any free port; port then holds the
  // port used) and starts the server thread. Fails, leaving the server
  // closed, when the port cannot be bound, when port > 65535 (invalid
  // argument) or when the server is already open (device or resource busy).
  std::error_code open(std::uint32_t& port);
  // Ends every connection (framed players get $E); the server stays open.
  void disconnect();
  // disconnect(), stop listening, join the server thread. Idempotent.
  void close();
  bool isOpen() const { return thread_.joinable(); }

  // See LiveAsfStream for what is accepted. A closed server keeps no packets
  // (pushPacket is false): nobody can be served them, and a writer whose
  // server could not take its port streams into it all the same.
  bool setHeader(std::span<const std::uint8_t> header);
  bool pushPacket(std::span<const std::uint8_t> packet);
  // Clients get the rest of the stream, then $E (framed) and the end of the
  // connection; new requests get 503 until a new header starts a new stream.
  void endOfStream();

  std::size_t playingClients() const { return playing_; }
  std::size_t connections() const { return connections_; }

 private:
  using Clock = StreamClient::Clock;

  void run();
  void serveOnce();
  int pollTimeoutMs(Clock::time_point now) const;
  void acceptAll(Clock::time_point now);
  void route(StreamClient& client, Clock::time_point now);
  void routeRequest(StreamClient& client, Clock::time_point now);
  void tryStart(StreamClient& client, Clock::time_point now);
  void service(Clock::time_point now);
  std::size_t countPlaying() const;

  const ServerLimits limits_;
  LiveAsfStream stream_;
  WakeEvent wake_;
  ListenSocket listener_;
  std::thread thread_;
  std::atomic<bool> open_{false};  // isOpen() for the thread that pushes packets
  std::atomic<bool> stop_{false};
  std::atomic<bool> disconnect_{false};
  std::atomic<std::uint32_t> maxClients_{0};
  std::atomic<std::size_t> playing_{0};
  std::atomic<std::size_t> connections_{0};

  // Server thread only.
  std::vector<std::unique_ptr<StreamClient>> clients_;
  std::uint32_t nextClientId_ = 1;
  Clock::time_point acceptPausedUntil_{};
};

}  // namespace media::net
