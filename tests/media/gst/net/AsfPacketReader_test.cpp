#include "media/gst/net/AsfPacketReader.h"

#include <gtest/gtest.h>

#include "AsfSamples.h"

namespace media::net {
namespace {

using test::Bytes;
using test::SamplePacket;
using test::SamplePayload;

std::bitset<128> videoOnStream1() { return std::bitset<128>().set(1); }

struct KeyCase {
  const char* name;
  SamplePacket packet;
  bool startsKeyFrame;
  friend void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }
};

class AsfPacketReaderKeyFrames : public ::testing::TestWithParam<KeyCase> {};

TEST_P(AsfPacketReaderKeyFrames, FindsTheStartOfAKeyFrameOfAnEntryStream) {
  const Bytes packet = test::makePacket(GetParam().packet);
  const auto info = AsfPacketReader(videoOnStream1()).read(packet);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->startsKeyFrame, GetParam().startsKeyFrame);
  EXPECT_EQ(info->sendTime, GetParam().packet.sendTime);
}

SamplePacket packetOf(std::vector<SamplePayload> payloads, bool errorCorrection = true) {
  SamplePacket p;
  p.sendTime = 3600000133u;
  p.errorCorrection = errorCorrection;
  p.payloads = std::move(payloads);
  return p;
}

INSTANTIATE_TEST_SUITE_P(
    Table, AsfPacketReaderKeyFrames,
    ::testing::Values(
        KeyCase{"SingleKeyStart", packetOf({{1, true, 0}}), true},
        KeyCase{"SingleKeyStartNoErrorCorrection", packetOf({{1, true, 0}}, false), true},
        KeyCase{"KeyContinuation", packetOf({{1, true, 4770}}), false},
        KeyCase{"DeltaFrame", packetOf({{1, false, 0}}), false},
        KeyCase{"KeyStartAfterContinuations", packetOf({{1, false, 288}, {1, false, 0}, {1, true, 0, false, 50}}), true},
        KeyCase{"ContinuationOfKeyThenDeltas", packetOf({{1, true, 1310}, {1, false, 0}}), false},
        KeyCase{"KeyOfAStreamThatIsNoEntry", packetOf({{2, true, 0}}), false},
        KeyCase{"CompressedKeyPayload", packetOf({{1, false, 10}, {1, true, 0, true, 40}}), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AsfPacketReader, AnyTruncationOrCorruptLengthIsRefusedWithoutReadingOutside) {
  const Bytes whole = test::makePacket(packetOf({{1, false, 288, false, 100}, {1, true, 0, false, 200}}));
  const AsfPacketReader reader(videoOnStream1());
  // A packet cut anywhere reads as malformed.
  for (std::size_t size = 0; size < whole.size(); ++size)
    EXPECT_FALSE(reader.read(std::span(whole).first(size))) << "cut at " << size;
  Bytes longPayload = whole;
  longPayload[3 + 2 + 10 + 1 + 16] = 0xFF;  // high byte of the first payload's length
  EXPECT_FALSE(reader.read(longPayload));
  Bytes noPayloads = whole;
  noPayloads[3 + 2 + 10] = 0x80;  // multiple payloads, count 0
  EXPECT_FALSE(reader.read(noPayloads));
  Bytes badCorrection = whole;
  badCorrection[0] = 0xE2;  // error correction length type other than 0
  EXPECT_FALSE(reader.read(badCorrection));
}

TEST(AsfPacketReader, SetSendTimeRewritesOnlyTheSendTime) {
  Bytes packet = test::makePacket(packetOf({{1, true, 0}}));
  const AsfPacketReader reader(videoOnStream1());
  const auto info = reader.read(packet);
  ASSERT_TRUE(info);
  Bytes expected = packet;
  AsfPacketReader::setSendTime(packet, *info, 1234);
  EXPECT_EQ(test::sendTimeOf(packet), 1234u);
  EXPECT_EQ(reader.read(packet)->sendTime, 1234u);
  for (std::size_t i = 0; i < packet.size(); ++i) {
    if (i < info->sendTimeOffset || i >= info->sendTimeOffset + 4) {
      ASSERT_EQ(packet[i], expected[i]) << i;
    }
  }
}

}  // namespace
}  // namespace media::net
