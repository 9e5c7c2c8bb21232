#include "media/gst/net/WmspFrame.h"

#include <gtest/gtest.h>

namespace media::net {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(WmspFrame, HeaderChunkCarriesTheWholeHeader) {
  const Bytes header{1, 2, 3, 4, 5};
  EXPECT_EQ(WmspFrame::header(header),
            (Bytes{0x24, 'H', 13, 0, 0, 0, 0, 0, 0, 0x0C, 13, 0, 1, 2, 3, 4, 5}));
}

TEST(WmspFrame, DataChunksAppendWithTheirLocationIdAndPacketSize) {
  Bytes out{0xEE};
  const Bytes packet(300, 0x77);
  WmspFrame::appendData(out, packet, 0x01020304);
  ASSERT_EQ(out.size(), 1 + WmspFrame::kDataChunkHead + 300);
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 13),
            (Bytes{0xEE, 0x24, 'D', 0x34, 0x01, 0x04, 0x03, 0x02, 0x01, 0, 0, 0x34, 0x01}));
  EXPECT_EQ(out.back(), 0x77);
}

TEST(WmspFrame, EndChunkHasReasonZero) {
  Bytes out;
  WmspFrame::appendEnd(out);
  EXPECT_EQ(out, (Bytes{0x24, 'E', 4, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace media::net
