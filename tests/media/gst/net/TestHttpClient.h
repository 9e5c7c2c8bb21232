#pragma once
// A raw TCP client for the stream server's tests: sends bytes as given and
// collects what comes back, with bounded waits only.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/gst/net/UniqueFd.h"

namespace media::net::test {

class TestHttpClient {
 public:
  // Connects to 127.0.0.1:port; receiveBuffer > 0 shrinks the socket's
  // receive buffer before connecting (a slow client's small window).
  explicit TestHttpClient(std::uint16_t port, int receiveBuffer = 0);

  bool connected() const { return static_cast<bool>(fd_); }
  void send(const std::string& bytes);
  // Reads until done(received()) holds, the peer closes or timeout passes;
  // answers done(received()).
  bool readUntil(const std::function<bool(const std::string&)>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(3));
  bool readAtLeast(std::size_t bytes, std::chrono::milliseconds timeout = std::chrono::seconds(3));
  // Reads until the peer closes; false when it stays open for timeout.
  bool waitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(3));
  bool closedByPeer() const { return closed_; }
  void close() { fd_.reset(); }

  const std::string& received() const { return received_; }
  // The answer head (through the empty line) and what follows it.
  std::string head() const;
  std::string body() const;

 private:
  bool readSome(std::chrono::milliseconds timeout);

  UniqueFd fd_;
  std::string received_;
  bool closed_ = false;
};

// One chunk of a framed stream.
struct FramedChunk {
  char type = 0;
  std::uint32_t locationId = 0;
  std::uint16_t length = 0;      // from the framing head
  std::uint16_t packetSize = 0;  // from the data packet head ($H, $D)
  std::string payload;           // for $E: the reason field
};

// Whole chunks at the start of bytes; stops at the first incomplete one.
std::vector<FramedChunk> parseFramed(const std::string& bytes);

}  // namespace media::net::test
