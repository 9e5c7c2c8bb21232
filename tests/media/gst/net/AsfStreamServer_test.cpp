#include "media/gst/net/AsfStreamServer.h"

#include <gtest/gtest.h>

#include <thread>

#include "AsfSamples.h"
#include "TestHttpClient.h"
#include "media/gst/net/AsfHeader.h"

namespace media::net {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::TestHttpClient;

const std::string kDescribe =
    "GET / HTTP/1.1\r\nAccept: */*\r\nUser-Agent: NSPlayer/4.1.0.3856\r\nHost: 127.0.0.1\r\n"
    "Pragma: no-cache,rate=1.000000,stream-time=0,stream-offset=0:0,request-context=1,max-duration=0\r\n"
    "Pragma: xClientGUID={c77e7400-738a-11d2-9add-0020af0a3278}\r\nConnection: Close\r\n\r\n";
const std::string kPlay =
    "GET / HTTP/1.1\r\nAccept: */*\r\nUser-Agent: NSPlayer/4.1.0.3856\r\nHost: 127.0.0.1\r\n"
    "Pragma: no-cache,rate=1.000000,request-context=2\r\nPragma: xPlayStrm=1\r\n"
    "Pragma: stream-switch-count=1\r\nPragma: stream-switch-entry=ffff:1:0 \r\n"
    "Pragma: no-cache,rate=1.000000,stream-time=0Connection: Close\r\n\r\n";
const std::string kGet = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: Lavf/60\r\n\r\n";

bool hasHead(const std::string& r) { return r.find("\r\n\r\n") != std::string::npos; }

// A server on a free port with two client places, short timeouts and a
// synthetic stream of 512-byte packets with a key frame every fourth packet.
class AsfStreamServerTest : public ::testing::Test {
 protected:
  static ServerLimits shortLimits() {
    ServerLimits limits;
    limits.timeouts = {400ms, 1000ms, 300ms};
    limits.stream = {64 * 512, 16 * 512};
    return limits;
  }
  void SetUp() override {
    server.setMaximumClients(2);
    std::uint32_t p = 0;
    ASSERT_FALSE(server.open(p));
    ASSERT_NE(p, 0u);
    port = static_cast<std::uint16_t>(p);
  }
  void startStream(int packets) {
    ASSERT_TRUE(server.setHeader(test::makeHeader()));
    push(0, packets);
  }
  void push(int from, int to) {
    for (int n = from; n < to; ++n) ASSERT_TRUE(server.pushPacket(packet(n)));
    next = to;
  }
  static Bytes packet(int n) {
    test::SamplePacket p;
    p.sendTime = 3'600'000'000u + 100u * n;
    p.payloads = {{1, n % 4 == 0, 0}};
    return test::makePacket(p);
  }
  static std::string broadcastHeader() {
    const Bytes h = AsfHeader::parse(test::makeHeader())->bytes();
    return std::string(h.begin(), h.end());
  }
  template <class Pred>
  static bool eventually(Pred pred, std::chrono::milliseconds timeout = 3s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!pred()) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(5ms);
    }
    return true;
  }
  // A plain client that has its answer head, the header and one packet.
  std::unique_ptr<TestHttpClient> playingPlainClient() {
    auto c = std::make_unique<TestHttpClient>(port);
    c->send(kGet);
    c->readUntil([](const std::string& r) { return hasHead(r); });
    c->readAtLeast(c->head().size() + broadcastHeader().size() + 512);
    return c;
  }
  void expectServesARealClient() {
    if (!server.setHeader(test::makeHeader())) ADD_FAILURE() << "header";
    push(next, next + 4);
    auto c = playingPlainClient();
    EXPECT_EQ(c->head().rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << c->received().substr(0, 200);
    EXPECT_GE(c->body().size(), broadcastHeader().size() + 512);
  }

  AsfStreamServer server{shortLimits()};
  std::uint16_t port = 0;
  int next = 0;
};

TEST_F(AsfStreamServerTest, PlainClientGetsTheBroadcastHeaderThenPacketsFromTheNewestKeyFrame) {
  startStream(7);
  TestHttpClient c(port);
  c.send(kGet);
  const std::size_t expected = broadcastHeader().size() + 3 * 512;
  ASSERT_TRUE(c.readUntil([&](const std::string& r) { return hasHead(r) && r.size() >= r.find("\r\n\r\n") + 4 + expected; }));
  EXPECT_EQ(c.head(),
            "HTTP/1.0 200 OK\r\nContent-Type: video/x-ms-asf\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n");
  const std::string body = c.body();
  EXPECT_EQ(body.substr(0, broadcastHeader().size()), broadcastHeader());
  for (int i = 0; i < 3; ++i) {
    const std::string p = body.substr(broadcastHeader().size() + 512 * i, 512);
    EXPECT_EQ(test::sendTimeOf(Bytes(p.begin(), p.end())), 400u + 100u * i) << "packet " << 4 + i << " rebased";
  }
  push(7, 8);
  EXPECT_TRUE(c.readAtLeast(c.head().size() + expected + 512)) << "live packets follow";
  EXPECT_TRUE(eventually([&] { return server.playingClients() == 1; }));
}

TEST_F(AsfStreamServerTest, FramedDescribeGetsTheHeaderAndIsClosedPlayGetsTheStream) {
  startStream(6);
  TestHttpClient describe(port);
  describe.send(kDescribe);
  ASSERT_TRUE(describe.waitClosed());
  const std::string head = describe.head();
  EXPECT_NE(head.find("Content-Type: application/vnd.ms.wms-hdr.asfv1\r\n"), std::string::npos) << head;
  EXPECT_NE(head.find("Content-Length: " + std::to_string(12 + broadcastHeader().size()) + "\r\n"), std::string::npos);
  EXPECT_NE(head.find("features=\"broadcast\""), std::string::npos);
  EXPECT_NE(head.find("Pragma: no-cache, client-id="), std::string::npos);
  EXPECT_NE(head.find("Server: "), std::string::npos);
  EXPECT_NE(head.find("Cache-Control: no-cache\r\n"), std::string::npos);
  const auto described = test::parseFramed(describe.body());
  ASSERT_EQ(described.size(), 1u);
  EXPECT_EQ(described[0].type, 'H');
  EXPECT_EQ(described[0].payload, broadcastHeader());
  EXPECT_EQ(described[0].packetSize, described[0].length);

  TestHttpClient play(port);
  play.send(kPlay);
  ASSERT_TRUE(play.readUntil([](const std::string& r) {
    return hasHead(r) && test::parseFramed(r.substr(r.find("\r\n\r\n") + 4)).size() >= 3;
  }));
  EXPECT_NE(play.head().find("Content-Type: application/x-mms-framed\r\n"), std::string::npos);
  EXPECT_EQ(play.head().find("Content-Length"), std::string::npos);
  EXPECT_TRUE(eventually([&] { return server.playingClients() == 1; }));
  server.endOfStream();
  ASSERT_TRUE(play.waitClosed());
  const auto chunks = test::parseFramed(play.body());
  ASSERT_EQ(chunks.size(), 4u);
  EXPECT_EQ(chunks[0].payload, described[0].payload) << "same header on describe and play";
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(chunks[i].type, 'D');
    EXPECT_EQ(chunks[i].locationId, 3u + i) << "the broadcast's packet number";
    EXPECT_EQ(chunks[i].length, 512 + 8);
    EXPECT_EQ(chunks[i].packetSize, 512 + 8);
  }
  EXPECT_EQ(chunks[3].type, 'E');
  EXPECT_EQ(chunks[3].payload, std::string(4, '\0'));
}

TEST_F(AsfStreamServerTest, OneMoreThanMaxUsersGets503AndTheOthersGoOn) {
  startStream(4);
  auto first = playingPlainClient();
  auto second = playingPlainClient();
  ASSERT_TRUE(eventually([&] { return server.playingClients() == 2; }));
  TestHttpClient third(port);
  third.send(kPlay);
  ASSERT_TRUE(third.waitClosed());
  EXPECT_EQ(third.head().rfind("HTTP/1.0 503 Service Unavailable\r\n", 0), 0u) << third.received();

  TestHttpClient describe(port), log(port), other(port);
  describe.send(kDescribe);
  log.send("POST /log HTTP/1.0\r\nUser-Agent: NSPlayer/7\r\nContent-Length: 5\r\n\r\nstats");
  other.send("GET /favicon.ico HTTP/1.1\r\n\r\n");
  for (auto* c : {&describe, &log, &other}) ASSERT_TRUE(c->waitClosed());
  EXPECT_EQ(describe.head().rfind("HTTP/1.0 200 OK", 0), 0u);
  EXPECT_EQ(log.head().rfind("HTTP/1.0 204 No Content", 0), 0u);
  EXPECT_EQ(other.head().rfind("HTTP/1.0 404 Not Found", 0), 0u);

  const std::size_t had = first->received().size();
  push(4, 6);
  EXPECT_TRUE(first->readAtLeast(had + 2 * 512));
  EXPECT_TRUE(second->readAtLeast(had + 2 * 512));
  EXPECT_EQ(server.playingClients(), 2u);

  first->close();
  ASSERT_TRUE(eventually([&] { return server.playingClients() == 1; }));
  auto again = playingPlainClient();
  EXPECT_EQ(again->head().rfind("HTTP/1.0 200 OK", 0), 0u) << "a freed place is taken again";
}

TEST_F(AsfStreamServerTest, RequestsBeforeTheHeaderWaitForIt) {
  TestHttpClient c(port);
  c.send(kGet);
  ASSERT_TRUE(eventually([&] { return server.playingClients() == 1; }));
  EXPECT_FALSE(c.readAtLeast(1, 50ms));
  startStream(1);
  EXPECT_TRUE(c.readAtLeast(broadcastHeader().size() + 512 + 80));
  EXPECT_EQ(c.head().rfind("HTTP/1.0 200 OK", 0), 0u);
}

TEST_F(AsfStreamServerTest, DisconnectEndsEveryClientAndKeepsServing) {
  startStream(4);
  auto plain = playingPlainClient();
  TestHttpClient framed(port);
  framed.send(kPlay);
  ASSERT_TRUE(framed.readUntil([](const std::string& r) { return hasHead(r) && r.size() > r.find("\r\n\r\n") + 600; }));
  server.disconnect();
  EXPECT_TRUE(plain->waitClosed());
  ASSERT_TRUE(framed.waitClosed());
  const auto chunks = test::parseFramed(framed.body());
  ASSERT_FALSE(chunks.empty());
  EXPECT_EQ(chunks.back().type, 'E');
  expectServesARealClient();
}

TEST_F(AsfStreamServerTest, ASecondServerCannotOpenTheSamePortUntilTheFirstCloses) {
  AsfStreamServer other;
  std::uint32_t same = port;
  EXPECT_TRUE(other.open(same));
  EXPECT_FALSE(other.isOpen());
  std::uint32_t again = 0;
  EXPECT_EQ(server.open(again), std::make_error_code(std::errc::device_or_resource_busy));
  std::uint32_t tooLarge = 70000;
  EXPECT_EQ(other.open(tooLarge), std::make_error_code(std::errc::invalid_argument));

  startStream(4);
  auto c = playingPlainClient();
  server.close();
  EXPECT_FALSE(server.isOpen());
  EXPECT_TRUE(c->waitClosed()) << "close ends the clients";
  EXPECT_EQ(server.connections(), 0u);
  same = port;
  EXPECT_FALSE(other.open(same)) << "the port is free again";
  other.close();
  server.close();
}

// A writer whose server could not open its port goes on streaming into it:
// nobody can be served, so nothing is kept, and once open its first client
// starts at the next key frame instead of at one from before.
TEST_F(AsfStreamServerTest, AClosedServerKeepsNoPacketsForLaterClients) {
  AsfStreamServer other{shortLimits()};
  std::uint32_t same = port;
  ASSERT_TRUE(other.open(same));
  other.setMaximumClients(1);
  ASSERT_TRUE(other.setHeader(test::makeHeader()));
  for (int n = 0; n < 7; ++n) EXPECT_FALSE(other.pushPacket(packet(n))) << "packet " << n << " kept";

  server.close();
  std::uint32_t taken = port;
  ASSERT_FALSE(other.open(taken));
  TestHttpClient c(port);
  c.send(kGet);
  ASSERT_TRUE(c.readUntil([](const std::string& r) { return hasHead(r); }));
  for (int n = 7; n < 10; ++n) EXPECT_TRUE(other.pushPacket(packet(n)));
  ASSERT_TRUE(c.readAtLeast(c.head().size() + broadcastHeader().size() + 2 * 512));
  const std::string body = c.body();
  const std::string first = body.substr(broadcastHeader().size(), 512);
  EXPECT_EQ(test::sendTimeOf(Bytes(first.begin(), first.end())), 100u) << "packet 8, the first key frame after opening";
  other.close();
}

struct Hostile {
  const char* name;
  std::string bytes;
  const char* answer;  // start of the answer before the server closes
  friend void PrintTo(const Hostile& c, std::ostream* os) { *os << c.name; }
};

class AsfStreamServerRefuses : public AsfStreamServerTest, public ::testing::WithParamInterface<Hostile> {};

TEST_P(AsfStreamServerRefuses, AndStillServesARealClient) {
  TestHttpClient hostile(port);
  hostile.send(GetParam().bytes);
  ASSERT_TRUE(hostile.waitClosed(2s)) << "closed within the request timeout";
  EXPECT_EQ(hostile.received().rfind(GetParam().answer, 0), 0u) << hostile.received();
  EXPECT_EQ(server.playingClients(), 0u);
  expectServesARealClient();
}

INSTANTIATE_TEST_SUITE_P(
    Table, AsfStreamServerRefuses,
    ::testing::Values(
        Hostile{"Binary", std::string("\x16\x03\x01\x00\xa5\x01\x00\x00\xa1\x03\x03\0\0", 13), "HTTP/1.0 400 Bad Request"},
        Hostile{"Text", "hello there\r\n\r\n", "HTTP/1.0 400 Bad Request"},
        Hostile{"HugeHead", "GET / HTTP/1.1\r\nX: " + std::string(20000, 'x') + "\r\n\r\n",
                "HTTP/1.0 431 Request Header Fields Too Large"},
        Hostile{"HalfRequest", "GET / HTTP/1.1\r\nHost: x\r\n", "HTTP/1.0 408 Request Timeout"},
        Hostile{"Nothing", "", "HTTP/1.0 408 Request Timeout"},
        Hostile{"OtherMethod", "DELETE / HTTP/1.1\r\n\r\n", "HTTP/1.0 405 Method Not Allowed"},
        Hostile{"Head", "HEAD / HTTP/1.0\r\n\r\n", "HTTP/1.0 200 OK\r\nContent-Type: video/x-ms-asf"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AsfStreamServerTest, FiftyHostileConnectionsAtOnceDoNotStopARealClient) {
  std::vector<std::unique_ptr<TestHttpClient>> crowd;
  for (int i = 0; i < 50; ++i) {
    crowd.push_back(std::make_unique<TestHttpClient>(port));
    if (i % 3 == 0) crowd.back()->send(std::string(100, static_cast<char>(i)));
    if (i % 3 == 1) crowd.back()->send("GET / HTTP/1.1\r\nUser-Agent: slow");
  }
  ASSERT_TRUE(eventually([&] { return server.connections() >= 33; }));
  expectServesARealClient();
  for (auto& c : crowd) EXPECT_TRUE(c->waitClosed(2s));
  EXPECT_TRUE(eventually([&] { return server.connections() == 0; }));
}

// A framed player with a tiny window that stops reading for a while (less
// than the stall time): it is skipped forward to a key frame, never buffered
// without bound. One that reads nothing at all is dropped after the stall
// time.
TEST_F(AsfStreamServerTest, ASlowClientSkipsToAKeyFrameAndAStalledOneIsDropped) {
  startStream(4);
  TestHttpClient slow(port, 4096);
  slow.send(kPlay);
  ASSERT_TRUE(slow.readUntil(hasHead));
  for (int round = 0; round < 20; ++round) {
    push(next, next + 20);
    std::this_thread::sleep_for(15ms);
  }
  ASSERT_TRUE(slow.readUntil([&](const std::string& r) {
    const auto chunks = test::parseFramed(r.substr(r.find("\r\n\r\n") + 4));
    return !chunks.empty() && chunks.back().type == 'D' && chunks.back().locationId == std::uint32_t(next - 1);
  }, 5s)) << "catches up with the newest packet";
  const auto chunks = test::parseFramed(slow.body());
  bool skipped = false;
  for (std::size_t i = 2; i < chunks.size(); ++i) {
    if (chunks[i].locationId == chunks[i - 1].locationId + 1) continue;
    skipped = true;
    EXPECT_EQ(chunks[i].locationId % 4, 0u) << "a skip lands on a key frame packet";
    EXPECT_GT(chunks[i].locationId, chunks[i - 1].locationId);
  }
  EXPECT_TRUE(skipped);
  slow.close();
  ASSERT_TRUE(eventually([&] { return server.playingClients() == 0; }));

  TestHttpClient stalled(port, 4096);
  stalled.send(kGet);
  ASSERT_TRUE(eventually([&] { return server.playingClients() == 1; }));
  for (int round = 0; round < 60 && server.playingClients() == 1; ++round) {
    push(next, next + 50);
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_EQ(server.playingClients(), 0u) << "dropped after the stall time";
}

}  // namespace
}  // namespace media::net
