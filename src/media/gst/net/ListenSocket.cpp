#include "media/gst/net/ListenSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

namespace media::net {
namespace {

std::error_code lastError() { return {errno, std::system_category()}; }

std::uint16_t boundPort(int fd) {
  sockaddr_storage addr{};
  socklen_t len = sizeof(addr);
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  if (addr.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port);
  return ntohs(reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
}

int bindAny(int fd, int family, std::uint16_t port) {
  if (family == AF_INET6) {
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_any;
    a.sin6_port = htons(port);
    return ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
  }
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_ANY);
  a.sin_port = htons(port);
  return ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a));
}

}  // namespace

std::error_code ListenSocket::listen(std::uint16_t port) {
  close();
  const std::error_code v6 = listenOn(AF_INET6, port);
  if (!v6) return v6;
  // A host without IPv6 cannot make the socket at all; any other failure
  // (the port is taken) stands.
  if (v6.value() != EAFNOSUPPORT && v6.value() != EADDRNOTAVAIL) return v6;
  return listenOn(AF_INET, port);
}

std::error_code ListenSocket::listenOn(int family, std::uint16_t port) {
  UniqueFd fd(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return lastError();
  const int on = 1, off = 0;
  // Reuse lets a new server take the port while old connections linger in
  // TIME_WAIT; it does not let two listeners share it.
  ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  if (family == AF_INET6) ::setsockopt(fd.get(), IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof(off));
  if (bindAny(fd.get(), family, port) != 0 || ::listen(fd.get(), SOMAXCONN) != 0) return lastError();
  port_ = boundPort(fd.get());
  fd_ = std::move(fd);
  return {};
}

UniqueFd ListenSocket::accept() const {
  return UniqueFd(::accept4(fd_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
}

}  // namespace media::net
