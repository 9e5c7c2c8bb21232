#include "media/gst/WMProfileTable.h"

#include <gtest/gtest.h>

#include "media/framework/WMProfiles.h"

namespace {

using namespace media;
using namespace media::gst;

TEST(WMProfileTable, EveryIdentifierFindsItsOwnIndexAndAnotherNone) {
  for (std::size_t i = 0; i < kWMProfileCount; ++i) EXPECT_EQ(WMProfileTable::IndexOf(kWMProfiles[i]), i);
  EXPECT_EQ(WMProfileTable::IndexOf(GUID{}), std::nullopt);
  EXPECT_EQ(WMProfileTable::IndexOf(GUID{0x6E2A6955, 0x81DF, 0x4943, {0xBA, 0x50, 0x68, 0xA9, 0x86, 0xA7, 0x08, 0xF7}}),
            std::nullopt);
}

// What the encoders and the muxer take: even picture sizes, a frame rate,
// key frames, a rate or a quantizer, audio of at least 24 kbps, and packets
// a framed network chunk can carry.
TEST(WMProfileTable, EveryProfileCanBeEncoded) {
  for (std::size_t i = 0; i < kWMProfileCount; ++i) {
    SCOPED_TRACE(i);
    const WMProfileSettings& p = WMProfileTable::At(i);
    EXPECT_TRUE(p.video || p.audio);
    EXPECT_GT(p.bufferWindowMs, 0);
    EXPECT_GE(p.packetSize, 1000u);
    EXPECT_LE(p.packetSize, 0xFFFFu - 8);
    if (p.video) {
      EXPECT_EQ(p.video->width % 2, 0);
      EXPECT_EQ(p.video->height % 2, 0);
      EXPECT_GT(p.video->fpsNumerator, 0);
      EXPECT_GT(p.video->keyFrameIntervalMs, 0);
      EXPECT_TRUE(p.video->bitsPerSecond > 0 || (p.video->quantizer >= 2 && p.video->quantizer <= 31));
    }
    if (p.audio) {
      EXPECT_GE(p.audio->bitsPerSecond, 24'000);
      EXPECT_TRUE(p.audio->channels == 1 || p.audio->channels == 2);
    }
  }
}

TEST(WMProfileTable, TheProfileOfTheRecordingsIsSmallVideoAloneWithRoomForTheContainer) {
  const WMProfileSettings& p = WMProfileTable::At(23);
  ASSERT_TRUE(p.video);
  EXPECT_FALSE(p.audio);
  EXPECT_EQ(p.video->width, 320);
  EXPECT_EQ(p.video->height, 240);
  EXPECT_EQ(p.video->fpsNumerator / p.video->fpsDenominator, 15);
  EXPECT_LT(p.video->bitsPerSecond, 56'000);
  EXPECT_EQ(WMProfileTable::kDefaultIndex, 23u);
}

}  // namespace
