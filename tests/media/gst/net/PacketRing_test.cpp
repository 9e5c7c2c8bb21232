#include "media/gst/net/PacketRing.h"

#include <gtest/gtest.h>

namespace media::net {
namespace {

PacketBytes bytesOf(std::size_t n) { return std::make_shared<const std::vector<std::uint8_t>>(n, 0); }

// Ten packets of 100 bytes with key frames at 2 and 6, in a ring of 1000.
class PacketRingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 10; ++i) ring.push(bytesOf(100), i == 2 || i == 6);
  }
  PacketRing ring{1000};
};

TEST_F(PacketRingTest, FindsHeldPacketsAndMeasuresLag) {
  EXPECT_EQ(ring.beginSeq(), 0u);
  EXPECT_EQ(ring.endSeq(), 10u);
  ASSERT_NE(ring.find(6), nullptr);
  EXPECT_TRUE(ring.find(6)->startsKeyFrame);
  EXPECT_EQ(ring.find(10), nullptr);
  EXPECT_EQ(ring.lagBytes(9), 100u);
  EXPECT_EQ(ring.lagBytes(0), 1000u);
  EXPECT_EQ(ring.lagBytes(10), 0u);
  EXPECT_EQ(ring.newestKeyFrame(), 6u);
}

TEST_F(PacketRingTest, KeyFrameFromHonoursTheLagLimit) {
  EXPECT_EQ(ring.keyFrameFrom(0, 1000), 2u);
  EXPECT_EQ(ring.keyFrameFrom(3, 1000), 6u);
  EXPECT_EQ(ring.keyFrameFrom(0, 500), 6u) << "packet 2 lags by 800 bytes";
  EXPECT_EQ(ring.keyFrameFrom(0, 300), std::nullopt);
  EXPECT_EQ(ring.keyFrameFrom(7, 1000), std::nullopt);
}

TEST_F(PacketRingTest, BudgetDropsTheOldestAndKeepsCounting) {
  ring.push(bytesOf(250), false);
  EXPECT_EQ(ring.beginSeq(), 3u) << "1250 bytes held: three packets go";
  EXPECT_EQ(ring.heldBytes(), 950u);
  EXPECT_EQ(ring.find(2), nullptr);
  EXPECT_GT(ring.lagBytes(2), ring.lagBytes(3)) << "a dropped packet lags more than anything held";
  EXPECT_EQ(ring.keyFrameFrom(0, 10'000), 6u);

  ring.push(bytesOf(5000), false);
  EXPECT_EQ(ring.beginSeq(), 11u) << "a packet above the budget stays alone";
  EXPECT_EQ(ring.newestKeyFrame(), std::nullopt);

  ring.clear();
  EXPECT_EQ(ring.heldBytes(), 0u);
  ring.push(bytesOf(1), true);
  EXPECT_EQ(ring.find(12)->seq, 12u);
}

}  // namespace
}  // namespace media::net
