#include "media/gst/net/LiveAsfStream.h"

#include <gtest/gtest.h>

#include "AsfSamples.h"

namespace media::net {
namespace {

using test::Bytes;
using Status = StreamRead::Status;

constexpr std::uint32_t kOffset = 3'600'000'000u;  // the encoder's timestamp offset

// A stream of 512-byte packets, 100 ms apart, with a key frame every
// fourth packet (0, 4, 8, ...); ring and lag limits of a few packets.
class LiveAsfStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(stream.setHeader(test::makeHeader())); }

  Bytes packet(int n) const {
    test::SamplePacket p;
    p.sendTime = kOffset + 100u * n;
    p.payloads = {{1, n % 4 == 0, 0}};
    return test::makePacket(p);
  }
  void push(int from, int to) {
    for (int n = from; n < to; ++n) ASSERT_TRUE(stream.pushPacket(packet(n))) << n;
  }
  static std::vector<std::uint64_t> seqs(const StreamRead& read) {
    std::vector<std::uint64_t> out;
    for (const auto& p : read.packets) out.push_back(p.seq);
    return out;
  }

  LiveAsfStream stream{LiveStreamLimits{20 * 512, 8 * 512}};
};

TEST_F(LiveAsfStreamTest, RefusesPacketsItCannotServe) {
  LiveAsfStream fresh;
  EXPECT_FALSE(fresh.pushPacket(packet(0))) << "no header yet";
  Bytes shorter = packet(0);
  shorter.pop_back();
  EXPECT_FALSE(stream.pushPacket(shorter));
  Bytes garbage(512, 0xFF);
  EXPECT_FALSE(stream.pushPacket(garbage));
  EXPECT_FALSE(stream.setHeader(Bytes(100, 0)));
  EXPECT_NE(stream.header(), nullptr) << "a bad header keeps the stream";
}

TEST_F(LiveAsfStreamTest, SendTimesStartAtZeroDespiteTheEncoderOffset) {
  push(0, 3);
  StreamCursor cursor{stream.join().cursor.generation, 0, false};
  const StreamRead read = stream.read(cursor, 1 << 20);
  ASSERT_EQ(read.packets.size(), 3u);
  for (int n = 0; n < 3; ++n) EXPECT_EQ(test::sendTimeOf(*read.packets[n].bytes), 100u * n);
}

TEST_F(LiveAsfStreamTest, ANewReaderStartsAtTheNewestKeyFrame) {
  push(0, 7);
  StreamJoin join = stream.join();
  ASSERT_NE(join.header, nullptr);
  EXPECT_EQ(test::readField(join.header->bytes(), test::kFpFlags, 4) & 1, 1u);
  EXPECT_EQ(seqs(stream.read(join.cursor, 1 << 20)), (std::vector<std::uint64_t>{4, 5, 6}));
  push(7, 8);
  EXPECT_EQ(seqs(stream.read(join.cursor, 1 << 20)), (std::vector<std::uint64_t>{7}));
  EXPECT_EQ(stream.read(join.cursor, 1 << 20).status, Status::Live);
}

TEST_F(LiveAsfStreamTest, BeforeAnyKeyFrameAReaderWaitsForOne) {
  LiveAsfStream s;
  ASSERT_TRUE(s.setHeader(test::makeHeader()));
  ASSERT_TRUE(s.pushPacket(packet(1)));
  StreamCursor cursor = s.join().cursor;
  EXPECT_TRUE(s.read(cursor, 1 << 20).packets.empty());
  ASSERT_TRUE(s.pushPacket(packet(2)));
  ASSERT_TRUE(s.pushPacket(packet(4)));
  EXPECT_EQ(seqs(s.read(cursor, 1 << 20)), (std::vector<std::uint64_t>{2})) << "packet 4 is seq 2";
}

TEST_F(LiveAsfStreamTest, ReadStopsNearMaxBytes) {
  push(0, 4);
  StreamCursor cursor = stream.join().cursor;
  EXPECT_EQ(stream.read(cursor, 1).packets.size(), 1u) << "at least one packet";
  EXPECT_EQ(stream.read(cursor, 1000).packets.size(), 2u);
}

TEST_F(LiveAsfStreamTest, ALaggingReaderSkipsToAKeyFrameWithinReach) {
  push(0, 1);
  StreamCursor cursor = stream.join().cursor;
  push(1, 11);  // the reader is 11 packets behind; 8 are allowed
  EXPECT_EQ(stream.read(cursor, 1 << 20).packets.front().seq, 4u);
  push(11, 24);
  StreamCursor dropped{cursor.generation, 1, false};  // its packets left the ring
  EXPECT_EQ(stream.read(dropped, 1 << 20).packets.front().seq, 16u);
}

TEST_F(LiveAsfStreamTest, AReaderWithNoKeyFrameInReachWaitsForTheNextOne) {
  LiveAsfStream s{LiveStreamLimits{20 * 512, 4 * 512}};
  ASSERT_TRUE(s.setHeader(test::makeHeader()));
  ASSERT_TRUE(s.pushPacket(packet(0)));
  StreamCursor cursor = s.join().cursor;
  for (int n : {1, 2, 3, 5, 6, 7, 9, 10, 11}) ASSERT_TRUE(s.pushPacket(packet(n)));  // no key frames
  EXPECT_TRUE(s.read(cursor, 1 << 20).packets.empty());
  ASSERT_TRUE(s.pushPacket(packet(13)));
  ASSERT_TRUE(s.pushPacket(packet(16)));
  EXPECT_EQ(seqs(s.read(cursor, 1 << 20)), (std::vector<std::uint64_t>{11})) << "packet 16 is seq 11";
}

TEST_F(LiveAsfStreamTest, EndOfStreamEndsReadersAfterTheirLastPacket) {
  push(0, 2);
  StreamCursor cursor = stream.join().cursor;
  stream.endOfStream();
  EXPECT_FALSE(stream.pushPacket(packet(2)));
  EXPECT_EQ(stream.read(cursor, 1 << 20).packets.size(), 2u);
  EXPECT_EQ(stream.read(cursor, 1 << 20).status, Status::Ended);
  EXPECT_TRUE(stream.join().ended);
  ASSERT_TRUE(stream.setHeader(test::makeHeader())) << "the same header after the end starts anew";
  EXPECT_FALSE(stream.join().ended);
  EXPECT_EQ(stream.read(cursor, 1 << 20).status, Status::Replaced);
}

TEST_F(LiveAsfStreamTest, ANewHeaderReplacesTheStreamTheSameOneDoesNot) {
  push(0, 2);
  StreamCursor cursor = stream.join().cursor;
  ASSERT_TRUE(stream.setHeader(test::makeHeader()));
  EXPECT_EQ(stream.read(cursor, 1 << 20).packets.size(), 2u);
  test::SampleHeader other;
  other.preroll = 3000;
  ASSERT_TRUE(stream.setHeader(test::makeHeader(other)));
  EXPECT_EQ(stream.read(cursor, 1 << 20).status, Status::Replaced);
  push(4, 5);
  StreamCursor fresh = stream.join().cursor;
  const StreamRead read = stream.read(fresh, 1 << 20);
  ASSERT_EQ(read.packets.size(), 1u);
  EXPECT_EQ(test::sendTimeOf(*read.packets[0].bytes), 0u) << "send times restart with the stream";
}

}  // namespace
}  // namespace media::net
