#include "media/gst/net/AsfHeader.h"

#include <gtest/gtest.h>

#include <functional>

#include "AsfSamples.h"
#include "media/gst/net/LittleEndian.h"

namespace media::net {
namespace {

using test::Bytes;

TEST(AsfHeader, BroadcastFormZeroesSizesAndDurationsAndKeepsTheRest) {
  test::SampleHeader shape;
  const Bytes in = test::makeHeader(shape);
  const auto header = AsfHeader::parse(in);
  ASSERT_TRUE(header);
  const Bytes& out = header->bytes();
  ASSERT_EQ(out.size(), in.size());
  EXPECT_EQ(header->packetSize(), 512u);
  EXPECT_EQ(test::readField(out, test::kFpFlags, 4), 0x1u) << "broadcast set, seekable cleared";
  for (std::size_t field : {test::kFpFileSize, test::kFpDataPackets, test::kFpPlayDuration, test::kFpSendDuration})
    EXPECT_EQ(test::readField(out, field, 8), 0u) << "field at " << field;
  EXPECT_EQ(test::readField(out, test::kFpPreroll, 8), 5000u);
  const std::size_t data = out.size() - AsfHeader::kDataObjectStart;
  EXPECT_EQ(test::readField(out, data + 16, 8), 0u) << "data object size unknown";
  EXPECT_EQ(test::readField(out, data + 40, 8), 0u) << "no data packet count";
  // Everything outside the patched fields is the muxer's.
  Bytes expected = in;
  for (std::size_t field : {test::kFpFileSize, test::kFpDataPackets, test::kFpPlayDuration, test::kFpSendDuration})
    writeLE(expected.data() + field, 8, 0);
  writeLE(expected.data() + test::kFpFlags, 4, 1);
  writeLE(expected.data() + data + 16, 8, 0);
  writeLE(expected.data() + data + 40, 8, 0);
  EXPECT_EQ(out, expected);
}

TEST(AsfHeader, BytesAfterTheDataObjectStartAreNotPartOfTheHeader) {
  Bytes in = test::makeHeader();
  const std::size_t size = in.size();
  in.insert(in.end(), 300, 0x82);
  const auto header = AsfHeader::parse(in);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->bytes().size(), size);
}

TEST(AsfHeader, EntryStreamsAreTheVideoStreamsOrAllWithoutVideo) {
  test::SampleHeader both;
  both.streams = {{1, false}, {2, true}};
  const auto av = AsfHeader::parse(test::makeHeader(both));
  ASSERT_TRUE(av);
  EXPECT_FALSE(av->entryStreams().test(1));
  EXPECT_TRUE(av->entryStreams().test(2));

  test::SampleHeader audio;
  audio.streams = {{3, false}};
  const auto a = AsfHeader::parse(test::makeHeader(audio));
  ASSERT_TRUE(a);
  EXPECT_TRUE(a->entryStreams().test(3));
  EXPECT_EQ(a->entryStreams().count(), 1u);
}

struct BadHeader {
  const char* name;
  std::function<Bytes()> make;
  friend void PrintTo(const BadHeader& c, std::ostream* os) { *os << c.name; }
};

Bytes withHeaderFields(std::function<void(test::SampleHeader&)> edit) {
  test::SampleHeader shape;
  edit(shape);
  return test::makeHeader(shape);
}

Bytes edited(std::function<void(Bytes&)> edit) {
  Bytes b = test::makeHeader();
  edit(b);
  return b;
}

class AsfHeaderRejects : public ::testing::TestWithParam<BadHeader> {};

TEST_P(AsfHeaderRejects, Malformed) { EXPECT_FALSE(AsfHeader::parse(GetParam().make())); }

INSTANTIATE_TEST_SUITE_P(
    Table, AsfHeaderRejects,
    ::testing::Values(
        BadHeader{"Empty", [] { return Bytes{}; }},
        BadHeader{"NotAnAsfHeader", [] { return edited([](Bytes& b) { b[0] ^= 0xFF; }); }},
        BadHeader{"CutInsideDataObject", [] { return edited([](Bytes& b) { b.pop_back(); }); }},
        BadHeader{"HeaderSizeBeyondBytes", [] { return edited([](Bytes& b) { writeLE(b.data() + 16, 8, b.size()); }); }},
        BadHeader{"HeaderSizeHuge", [] { return edited([](Bytes& b) { writeLE(b.data() + 16, 8, ~0ull); }); }},
        BadHeader{"NoDataObject", [] { return edited([](Bytes& b) { b[b.size() - 50] ^= 0xFF; }); }},
        BadHeader{"NoFileProperties", [] { return edited([](Bytes& b) { b[test::kFilePropertiesAt] ^= 0xFF; }); }},
        BadHeader{"ObjectSizeZero", [] { return edited([](Bytes& b) { writeLE(b.data() + test::kFilePropertiesAt + 16, 8, 0); }); }},
        BadHeader{"ObjectOverrunsHeader", [] { return edited([](Bytes& b) { writeLE(b.data() + test::kFilePropertiesAt + 16, 8, 5000); }); }},
        BadHeader{"FilePropertiesTooShort", [] { return edited([](Bytes& b) { writeLE(b.data() + test::kFilePropertiesAt + 16, 8, 60); }); }},
        BadHeader{"VariablePacketSize", [] { return withHeaderFields([](auto& s) { s.maxPacketSize = 1024; }); }},
        BadHeader{"PacketSizeZero", [] { return withHeaderFields([](auto& s) { s.minPacketSize = s.maxPacketSize = 0; }); }},
        BadHeader{"PacketTooLargeForAChunk", [] { return withHeaderFields([](auto& s) { s.minPacketSize = s.maxPacketSize = 65528; }); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace media::net
