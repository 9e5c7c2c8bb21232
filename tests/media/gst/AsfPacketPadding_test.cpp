#include "media/gst/AsfPacketPadding.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using media::gst::AsfPacketPadding;

struct PacketRow {
  const char* name;
  std::vector<std::uint8_t> start;  // the packet's first bytes; zeros fill it up
  std::size_t size;
  bool changed;
  std::vector<std::uint8_t> expected;  // the first bytes afterwards
};

// Length type flags 0x51: several payloads, word padding length, word packet
// length; then the property flags, the length and the padding length.
const PacketRow kRows[] = {
    {"LastPacketOfAStream", {0x51, 0x5D, 0xB6, 0x07, 0x0A, 0x0B}, 4800, true, {0x51, 0x5D, 0xC0, 0x12, 0x0A, 0x0B}},
    {"AlmostFullPacket", {0x51, 0x5D, 0xBC, 0x12, 0x04, 0x00}, 4800, true, {0x51, 0x5D, 0xC0, 0x12, 0x04, 0x00}},
    {"FullPacket", {0x51, 0x5D, 0xC0, 0x12, 0x00, 0x00}, 4800, false, {0x51, 0x5D, 0xC0, 0x12, 0x00, 0x00}},
    {"LengthIncludesPadding", {0x51, 0x5D, 0xC0, 0x12, 0x10, 0x00}, 4800, false, {0x51, 0x5D, 0xC0, 0x12, 0x10, 0x00}},
    {"NoLengthField", {0x11, 0x5D, 0x10, 0x00}, 4800, false, {0x11, 0x5D, 0x10, 0x00}},
    {"AfterErrorCorrection",
     {0x82, 0x00, 0x00, 0x51, 0x5D, 0x00, 0x06, 0x40, 0x00},
     1600, true, {0x82, 0x00, 0x00, 0x51, 0x5D, 0x40, 0x06, 0x40, 0x00}},
    // A byte-long length field cannot hold a packet of 1600 bytes.
    {"ByteLengthTooSmall", {0x31, 0x5D, 0x40, 0x00, 0x06}, 1600, false, {0x31, 0x5D, 0x40, 0x00, 0x06}},
    {"Empty", {}, 0, false, {}},
};

class AsfPacketPaddingRows : public ::testing::TestWithParam<PacketRow> {};

TEST_P(AsfPacketPaddingRows, LengthCountsThePaddingAfterwards) {
  const PacketRow& row = GetParam();
  std::vector<std::uint8_t> packet(row.start);
  packet.resize(row.size, 0);
  EXPECT_EQ(AsfPacketPadding::IncludePadding(packet), row.changed);
  EXPECT_EQ(std::vector<std::uint8_t>(packet.begin(), packet.begin() + row.expected.size()), row.expected);
}

INSTANTIATE_TEST_SUITE_P(Packets, AsfPacketPaddingRows, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
