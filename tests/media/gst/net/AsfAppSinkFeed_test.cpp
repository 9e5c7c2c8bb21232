#include "media/gst/net/AsfAppSinkFeed.h"

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "TestHttpClient.h"
#include "media/gst/net/AsfHeader.h"
#include "media/gst/net/AsfPacketReader.h"
#include "media/gst/net/AsfStreamServer.h"
#include "media/gst/net/LittleEndian.h"

namespace media::net {
namespace {

using namespace std::chrono_literals;
using test::TestHttpClient;

const std::string kGet = "GET / HTTP/1.0\r\nUser-Agent: test\r\n\r\n";

// Runs a command line under a time limit and answers its standard output.
std::string run(const std::string& command) {
  std::string out;
  if (FILE* pipe = ::popen(("timeout 30 " + command + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

// The writer's network branch, live: a 56 kbps WMV8 stream muxed for
// streaming into an appsink that feeds a server on a free port.
class AsfAppSinkFeedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GError* error = nullptr;
    pipeline = gst::ElementRef::Adopt(gst_parse_launch(
        "videotestsrc is-live=true pattern=ball ! video/x-raw,width=320,height=240,framerate=15/1 ! "
        "videoconvert ! avenc_wmv2 bitrate=56000 ! asfmux streamable=true ! appsink name=net",
        &error));
    ASSERT_TRUE(pipeline) << (error ? error->message : "");
    sink = gst::ElementRef::Adopt(gst_bin_get_by_name(GST_BIN(pipeline.get()), "net"));
    feed = std::make_unique<AsfAppSinkFeed>(sink.get(), server);
    server.setMaximumClients(2);
    std::uint32_t p = 0;
    ASSERT_FALSE(server.open(p));
    port = static_cast<std::uint16_t>(p);
    ASSERT_NE(gst_element_set_state(pipeline.get(), GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
  }
  void TearDown() override {
    if (pipeline) gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    feed.reset();
    server.close();
  }
  std::string url(const char* scheme) const {
    return std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + "/";
  }
  // A plain client holding the header and the first packet.
  std::unique_ptr<TestHttpClient> plainClient() {
    auto c = std::make_unique<TestHttpClient>(port);
    c->send(kGet);
    c->readUntil([](const std::string& r) {
      const auto body = r.find("\r\n\r\n");
      if (body == std::string::npos || r.size() < body + 4 + 30) return false;
      const auto headerSize = readLE(reinterpret_cast<const std::uint8_t*>(r.data()) + body + 4 + 16, 8);
      return r.size() >= body + 4 + headerSize + 50 + 4800;
    }, 10s);
    return c;
  }

  AsfStreamServer server;
  gst::ElementRef pipeline, sink;
  std::unique_ptr<AsfAppSinkFeed> feed;
  std::uint16_t port = 0;
};

TEST_F(AsfAppSinkFeedTest, PlainClientsGetABroadcastHeaderAndSendTimesNearZero) {
  std::this_thread::sleep_for(1500ms);  // join a stream that has been running
  auto c = plainClient();
  const std::string body = c->body();
  const auto header = AsfHeader::parse({reinterpret_cast<const std::uint8_t*>(body.data()), body.size()});
  ASSERT_TRUE(header) << c->received().substr(0, 300);
  EXPECT_EQ(header->packetSize(), 4800u);
  const auto packet = std::span(reinterpret_cast<const std::uint8_t*>(body.data()), body.size())
                          .subspan(header->bytes().size(), header->packetSize());
  const auto info = AsfPacketReader(header->entryStreams()).read(packet);
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->startsKeyFrame) << "clients start at the newest key frame";
  EXPECT_LT(info->sendTime, 10'000u) << "the encoder's offset of 1000 hours is gone";
  EXPECT_EQ(std::string(body.data(), header->bytes().size()),
            std::string(header->bytes().begin(), header->bytes().end()))
      << "the header as served is already in broadcast form";
}

TEST_F(AsfAppSinkFeedTest, FfmpegDecodesPlainAndFramedStreamsPastTheStatedDataSize) {
  // Hostile connections first: the server must still serve real players.
  std::vector<std::unique_ptr<TestHttpClient>> crowd;
  for (int i = 0; i < 50; ++i) {
    crowd.push_back(std::make_unique<TestHttpClient>(port));
    crowd.back()->send(i % 2 ? std::string(5000, '\x01') : std::string("GET / HTTP/1.1\r\nX: "));
  }
  for (const char* scheme : {"http", "mmsh"}) {
    const std::string probe = run("ffprobe -v error -show_entries stream=codec_name,width,height -of csv=p=0 " + url(scheme));
    EXPECT_NE(probe.find("wmv2,320,240"), std::string::npos) << scheme << ": " << probe;
    // Three seconds of frames: a live stream states no end.
    const std::string frames = run("ffmpeg -hide_banner -nostats -v error -i " + url(scheme) +
                                   " -t 3 -f null - -progress pipe:1 | grep '^frame=' | tail -1");
    ASSERT_EQ(frames.rfind("frame=", 0), 0u) << scheme << ": " << frames;
    EXPECT_GE(std::stoi(frames.substr(6)), 30) << scheme << ": " << frames;
  }
}

TEST_F(AsfAppSinkFeedTest, WithMaxUsersPlayingOneMoreGets503AndTheOthersKeepReceiving) {
  auto first = plainClient();
  auto second = plainClient();
  ASSERT_TRUE(second->body().size() > 4800);
  for (int i = 0; i < 100 && server.playingClients() != 2; ++i) std::this_thread::sleep_for(10ms);
  ASSERT_EQ(server.playingClients(), 2u);
  const std::string probe = run("ffprobe -v error -show_streams " + url("mmsh"));
  EXPECT_NE(probe.find("5XX"), std::string::npos) << "its describe passes, its play is refused: " << probe;
  TestHttpClient third(port);
  third.send(kGet);
  ASSERT_TRUE(third.waitClosed(5s));
  EXPECT_EQ(third.head().rfind("HTTP/1.0 503 Service Unavailable\r\n", 0), 0u) << third.received();
  const std::size_t had = std::min(first->received().size(), second->received().size());
  EXPECT_TRUE(first->readAtLeast(had + 2 * 4800, 10s));
  EXPECT_TRUE(second->readAtLeast(had + 2 * 4800, 10s));
}

TEST_F(AsfAppSinkFeedTest, EndOfStreamReachesFramedPlayersAndAGoneFeedFeedsNothing) {
  TestHttpClient play(port);
  play.send("GET / HTTP/1.0\r\nUser-Agent: NSPlayer/7.10\r\nPragma: xPlayStrm=1\r\n\r\n");
  ASSERT_TRUE(play.readUntil([](const std::string& r) { return test::parseFramed(r.substr(std::min(r.size(), r.find("\r\n\r\n") + 4))).size() >= 2; }, 10s));
  gst_element_send_event(pipeline.get(), gst_event_new_eos());
  ASSERT_TRUE(play.waitClosed(10s));
  const auto chunks = test::parseFramed(play.body());
  ASSERT_GE(chunks.size(), 3u);
  EXPECT_EQ(chunks.front().type, 'H');
  EXPECT_EQ(chunks.back().type, 'E');

  feed.reset();
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  TestHttpClient late(port);
  late.send(kGet);
  ASSERT_TRUE(late.waitClosed(5s));
  EXPECT_EQ(late.head().rfind("HTTP/1.0 503", 0), 0u) << "the stream ended and nothing feeds a new one";
}

}  // namespace
}  // namespace media::net
