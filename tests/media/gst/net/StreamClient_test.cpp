#include "media/gst/net/StreamClient.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <string>

#include "AsfSamples.h"

namespace media::net {
namespace {

using namespace std::chrono_literals;
using Phase = StreamClient::Phase;
using Clock = StreamClient::Clock;

// A client on one end of a socket pair; the test plays the peer. Time is the
// test's: nothing here sleeps.
class StreamClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds), 0);
    peer = UniqueFd(fds[1]);
    client = std::make_unique<StreamClient>(UniqueFd(fds[0]), 1024, timeouts, t0);
  }
  void peerSends(const std::string& text) { ASSERT_EQ(::send(peer.get(), text.data(), text.size(), 0), ssize_t(text.size())); }
  std::string peerReads() {
    std::string all;
    char buf[65536];
    for (ssize_t n; (n = ::recv(peer.get(), buf, sizeof(buf), MSG_DONTWAIT)) > 0;) all.append(buf, n);
    return all;
  }
  bool peerSeesEnd() {
    char c;
    return ::recv(peer.get(), &c, 1, MSG_DONTWAIT) == 0;
  }

  ClientTimeouts timeouts{1000ms, 3000ms, 500ms};
  Clock::time_point t0 = Clock::now();
  UniqueFd peer;
  std::unique_ptr<StreamClient> client;
};

TEST_F(StreamClientTest, ACompleteRequestIsHandedToTheServerOnce) {
  peerSends("GET / HTTP/1.0\r\n");
  EXPECT_FALSE(client->onReadable(t0));
  peerSends("\r\n");
  EXPECT_TRUE(client->onReadable(t0));
  EXPECT_EQ(client->parser().state(), HttpRequestParser::State::Complete);
  client->answer("HTTP/1.0 204 No Content\r\n\r\n", t0);
  EXPECT_EQ(peerReads(), "HTTP/1.0 204 No Content\r\n\r\n");
  EXPECT_TRUE(peerSeesEnd()) << "write side shut after the answer";
  EXPECT_EQ(client->phase(), Phase::Lingering);
  peerSends("more bytes are dropped");
  EXPECT_FALSE(client->onReadable(t0));
  peer.reset();
  client->onReadable(t0);
  EXPECT_EQ(client->phase(), Phase::Closed);
}

TEST_F(StreamClientTest, ARequestNotCompleteInTimeExpires) {
  peerSends("GET / HT");
  EXPECT_FALSE(client->onReadable(t0));
  EXPECT_EQ(client->deadline(), t0 + timeouts.request);
  EXPECT_FALSE(client->expire(t0 + timeouts.request - 1ms));
  EXPECT_TRUE(client->expire(t0 + timeouts.request)) << "the server answers 408";
  client->answer("HTTP/1.0 408 Request Timeout\r\n\r\n", t0 + 1s);
  EXPECT_EQ(client->deadline(), t0 + 1s + timeouts.linger) << "the peer gets a bounded time to close";
  client->expire(t0 + 1s + timeouts.linger);
  EXPECT_EQ(client->phase(), Phase::Closed);
}

TEST_F(StreamClientTest, AWaitingClientExpiresAfterTheStallTime) {
  client->wait(StreamRequestKind::PlainPlay, 7, t0);
  EXPECT_TRUE(client->isPlaying());
  EXPECT_FALSE(client->expire(t0 + timeouts.stall - 1ms));
  EXPECT_TRUE(client->expire(t0 + timeouts.stall)) << "the server answers 503";
}

// A peer that takes nothing: the queue stays bounded and the client goes
// after the stall time without progress.
TEST_F(StreamClientTest, APeerThatStopsReadingIsDroppedNotBuffered) {
  const int small = 4096;
  ::setsockopt(client->fd(), SOL_SOCKET, SO_SNDBUF, &small, sizeof(small));
  LiveAsfStream stream(LiveStreamLimits{1u << 24, 1u << 24});
  ASSERT_TRUE(stream.setHeader(test::makeHeader()));
  client->wait(StreamRequestKind::PlainPlay, 1, t0);
  StreamJoin join = stream.join();
  client->startStreaming("HTTP/1.0 200 OK\r\n\r\n", join.header->bytes(), join.cursor, t0);
  for (int n = 0; n < 2000; ++n) {
    test::SamplePacket p;
    p.payloads = {{1, n % 10 == 0, 0}};
    ASSERT_TRUE(stream.pushPacket(test::makePacket(p)));
    client->pump(stream, t0 + 1ms);
    ASSERT_LE(client->queuedBytes(), 96u * 1024) << "packet " << n;
  }
  EXPECT_EQ(client->phase(), Phase::Streaming);
  ASSERT_TRUE(client->wantsWrite());
  const auto due = client->deadline();
  ASSERT_TRUE(due);
  EXPECT_LE(*due, t0 + 1ms + timeouts.stall);
  client->expire(*due);
  EXPECT_EQ(client->phase(), Phase::Closed);
}

TEST_F(StreamClientTest, EndingAFramedPlayerSendsEndOfStream) {
  LiveAsfStream stream;
  ASSERT_TRUE(stream.setHeader(test::makeHeader()));
  client->wait(StreamRequestKind::FramedPlay, 1, t0);
  client->startStreaming("HEAD\r\n\r\n", {}, stream.join().cursor, t0);
  client->end(t0);
  EXPECT_EQ(peerReads(), std::string("HEAD\r\n\r\n") + std::string("\x24" "E\x04\0\0\0\0\0", 8));
  EXPECT_EQ(client->phase(), Phase::Lingering);
}

}  // namespace
}  // namespace media::net
