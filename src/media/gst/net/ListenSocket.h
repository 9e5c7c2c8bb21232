#pragma once
// A non-blocking TCP listening socket on all interfaces (IPv6 and IPv4 where
// the host has both, IPv4 alone otherwise).
#include <cstdint>
#include <system_error>

#include "media/gst/net/UniqueFd.h"

namespace media::net {

class ListenSocket {
 public:
  // port 0 takes any free port. The error of the last attempt when the port
  // cannot be bound (another program or server holds it) or listened on.
  std::error_code listen(std::uint16_t port);
  void close() { fd_.reset(); }

  int fd() const { return fd_.get(); }
  std::uint16_t port() const { return port_; }
  // The next waiting connection, non-blocking; empty when there is none.
  UniqueFd accept() const;

 private:
  std::error_code listenOn(int family, std::uint16_t port);

  UniqueFd fd_;
  std::uint16_t port_ = 0;
};

}  // namespace media::net
