#include "TestHttpClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include "media/gst/net/LittleEndian.h"

namespace media::net::test {

using Clock = std::chrono::steady_clock;

TestHttpClient::TestHttpClient(std::uint16_t port, int receiveBuffer)
    : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  if (receiveBuffer > 0) ::setsockopt(fd_.get(), SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof(receiveBuffer));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd_.get(), reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) fd_.reset();
}

void TestHttpClient::send(const std::string& bytes) {
  if (fd_) ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

bool TestHttpClient::readSome(std::chrono::milliseconds timeout) {
  pollfd p{fd_.get(), POLLIN, 0};
  if (::poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
  char buffer[65536];
  const ssize_t n = ::recv(fd_.get(), buffer, sizeof(buffer), MSG_DONTWAIT);
  if (n <= 0) {
    closed_ = true;
    return false;
  }
  received_.append(buffer, static_cast<std::size_t>(n));
  return true;
}

bool TestHttpClient::readUntil(const std::function<bool(const std::string&)>& done,
                               std::chrono::milliseconds timeout) {
  const auto end = Clock::now() + timeout;
  while (fd_ && !closed_ && !done(received_)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    if (left.count() <= 0) break;
    readSome(left);
  }
  return done(received_);
}

bool TestHttpClient::readAtLeast(std::size_t bytes, std::chrono::milliseconds timeout) {
  return readUntil([bytes](const std::string& r) { return r.size() >= bytes; }, timeout);
}

bool TestHttpClient::waitClosed(std::chrono::milliseconds timeout) {
  readUntil([this](const std::string&) { return closed_; }, timeout);
  return closed_;
}

std::string TestHttpClient::head() const {
  const auto end = received_.find("\r\n\r\n");
  return end == std::string::npos ? received_ : received_.substr(0, end + 4);
}

std::string TestHttpClient::body() const {
  const auto end = received_.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : received_.substr(end + 4);
}

std::vector<FramedChunk> parseFramed(const std::string& bytes) {
  std::vector<FramedChunk> chunks;
  const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
  std::size_t at = 0;
  while (bytes.size() - at >= 4) {
    FramedChunk c;
    c.type = static_cast<char>(p[at + 1]);
    c.length = static_cast<std::uint16_t>(readLE(p + at + 2, 2));
    if (p[at] != 0x24 || bytes.size() - at - 4 < c.length) break;
    if (c.type == 'E') {
      c.payload = bytes.substr(at + 4, c.length);
    } else if (c.length >= 8) {
      c.locationId = static_cast<std::uint32_t>(readLE(p + at + 4, 4));
      c.packetSize = static_cast<std::uint16_t>(readLE(p + at + 10, 2));
      c.payload = bytes.substr(at + 12, c.length - 8u);
    }
    at += 4u + c.length;
    chunks.push_back(std::move(c));
  }
  return chunks;
}

}  // namespace media::net::test
