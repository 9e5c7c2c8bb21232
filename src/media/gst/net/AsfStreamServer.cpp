#include "media/gst/net/AsfStreamServer.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <random>

#include "media/gst/net/StreamResponses.h"
#include "media/gst/net/WmspFrame.h"

namespace media::net {
namespace {

// An accept that fails for want of descriptors leaves the listener readable;
// accepting pauses briefly instead of spinning.
constexpr std::chrono::milliseconds kAcceptPause{100};

std::string framedHead(std::string head, const std::vector<std::uint8_t>& chunk) {
  head.append(chunk.begin(), chunk.end());
  return head;
}

}  // namespace

AsfStreamServer::AsfStreamServer(ServerLimits limits)
    : limits_(limits), stream_(limits.stream), nextClientId_(std::random_device{}() & 0x7FFFFFFF) {}

AsfStreamServer::~AsfStreamServer() { close(); }

std::error_code AsfStreamServer::open(std::uint32_t& port) {
  if (isOpen()) return std::make_error_code(std::errc::device_or_resource_busy);
  if (port > 0xFFFF) return std::make_error_code(std::errc::invalid_argument);
  if (const auto error = listener_.listen(static_cast<std::uint16_t>(port))) return error;
  port = listener_.port();
  stop_ = false;
  disconnect_ = false;
  thread_ = std::thread(&AsfStreamServer::run, this);
  open_ = true;
  return {};
}

void AsfStreamServer::disconnect() {
  disconnect_ = true;
  wake_.signal();
}

void AsfStreamServer::close() {
  if (!thread_.joinable()) return;
  open_ = false;
  stop_ = true;
  wake_.signal();
  thread_.join();
  listener_.close();
}

bool AsfStreamServer::setHeader(std::span<const std::uint8_t> header) {
  const bool ok = stream_.setHeader(header);
  wake_.signal();
  return ok;
}

bool AsfStreamServer::pushPacket(std::span<const std::uint8_t> packet) {
  if (!open_) return false;
  const bool ok = stream_.pushPacket(packet);
  if (ok) wake_.signal();
  return ok;
}

void AsfStreamServer::endOfStream() {
  stream_.endOfStream();
  wake_.signal();
}

void AsfStreamServer::run() {
  while (!stop_) serveOnce();
  const auto now = Clock::now();
  for (auto& client : clients_) client->end(now);
  clients_.clear();
  playing_ = 0;
  connections_ = 0;
}

void AsfStreamServer::serveOnce() {
  std::vector<pollfd> fds;
  const bool accepting = Clock::now() >= acceptPausedUntil_;
  fds.push_back({accepting ? listener_.fd() : -1, POLLIN, 0});
  fds.push_back({wake_.fd(), POLLIN, 0});
  for (const auto& c : clients_)
    fds.push_back({c->fd(), static_cast<short>(POLLIN | (c->wantsWrite() ? POLLOUT : 0)), 0});
  ::poll(fds.data(), fds.size(), pollTimeoutMs(Clock::now()));
  const auto now = Clock::now();
  if (fds[1].revents) wake_.drain();
  if (disconnect_.exchange(false))
    for (auto& c : clients_) c->end(now);
  for (std::size_t i = 0; i < clients_.size(); ++i) {
    StreamClient& c = *clients_[i];
    const short events = fds[i + 2].revents;
    if (events & (POLLERR | POLLNVAL)) c.onHangUp();
    if ((events & (POLLIN | POLLHUP)) && c.onReadable(now)) route(c, now);
    if (events & POLLOUT) c.flush(now);
  }
  if (fds[0].revents & POLLIN) acceptAll(now);
  service(now);
}

// Until the nearest client deadline; no timeout when nothing is due, since
// every other event (data, control calls) signals the wake event.
int AsfStreamServer::pollTimeoutMs(Clock::time_point now) const {
  std::optional<Clock::time_point> nearest;
  if (now < acceptPausedUntil_) nearest = acceptPausedUntil_;
  for (const auto& c : clients_)
    if (const auto due = c->deadline(); due && (!nearest || *due < *nearest)) nearest = due;
  if (!nearest) return -1;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*nearest - now).count();
  return static_cast<int>(std::clamp<long long>(wait, 0, 60'000));
}

void AsfStreamServer::acceptAll(Clock::time_point now) {
  for (;;) {
    UniqueFd fd = listener_.accept();
    if (!fd) {
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
        acceptPausedUntil_ = now + kAcceptPause;
      return;
    }
    if (clients_.size() - countPlaying() >= limits_.maxPendingConnections) continue;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDBUF, &limits_.socketSendBuffer, sizeof(limits_.socketSendBuffer));
    clients_.push_back(std::make_unique<StreamClient>(std::move(fd), limits_.maxRequestBytes,
                                                      limits_.timeouts, now));
  }
}

void AsfStreamServer::route(StreamClient& client, Clock::time_point now) {
  switch (client.parser().state()) {
    case HttpRequestParser::State::Complete: return routeRequest(client, now);
    case HttpRequestParser::State::TooLarge: return client.answer(StreamResponses::status(431), now);
    default: return client.answer(StreamResponses::status(400), now);
  }
}

void AsfStreamServer::routeRequest(StreamClient& client, Clock::time_point now) {
  const StreamRequestKind kind = StreamRequest::classify(client.parser().request());
  switch (kind) {
    case StreamRequestKind::Log: return client.answer(StreamResponses::status(204), now);
    case StreamRequestKind::NotFound: return client.answer(StreamResponses::status(404), now);
    case StreamRequestKind::NotAllowed: return client.answer(StreamResponses::status(405), now);
    case StreamRequestKind::Head: return client.answer(StreamResponses::plainStream(), now);
    default: break;
  }
  if (StreamRequest::countsAsClient(kind) && countPlaying() >= maxClients_)
    return client.answer(StreamResponses::status(503), now);
  client.wait(kind, nextClientId_++, now);
  tryStart(client, now);
}

// Answers a waiting request once the stream has a header.
void AsfStreamServer::tryStart(StreamClient& client, Clock::time_point now) {
  StreamJoin join = stream_.join();
  if (join.ended) return client.answer(StreamResponses::status(503), now);
  if (!join.header) return;
  const auto& header = join.header->bytes();
  if (client.kind() == StreamRequestKind::PlainPlay)
    return client.startStreaming(StreamResponses::plainStream(), header, join.cursor, now);
  if (header.size() > WmspFrame::kMaxPayload) return client.answer(StreamResponses::status(503), now);
  const auto chunk = WmspFrame::header(header);
  if (client.kind() == StreamRequestKind::FramedDescribe)
    return client.answer(framedHead(StreamResponses::framedDescribe(client.clientId(), chunk.size()), chunk), now);
  client.startStreaming(StreamResponses::framedPlay(client.clientId()), chunk, join.cursor, now);
}

// Per pass: waiting requests start, streams are topped up, deadlines apply,
// closed connections go.
void AsfStreamServer::service(Clock::time_point now) {
  for (auto& c : clients_) {
    if (c->phase() == StreamClient::Phase::Waiting) tryStart(*c, now);
    c->pump(stream_, now);
    if (c->expire(now))
      c->answer(StreamResponses::status(c->phase() == StreamClient::Phase::Reading ? 408 : 503), now);
  }
  std::erase_if(clients_, [](const auto& c) { return c->phase() == StreamClient::Phase::Closed; });
  playing_ = countPlaying();
  connections_ = clients_.size();
}

std::size_t AsfStreamServer::countPlaying() const {
  return static_cast<std::size_t>(
      std::count_if(clients_.begin(), clients_.end(), [](const auto& c) { return c->isPlaying(); }));
}

}  // namespace media::net
