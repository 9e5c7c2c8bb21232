#include "media/gst/GstFrameSlot.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "media/gst/GstTestKit.h"

using namespace media::gst;

namespace {

SampleRef NumberedSample(guint64 number) {
  const GstRef<GstBuffer> buffer = GstRef<GstBuffer>::Adopt(gst_buffer_new());
  GST_BUFFER_OFFSET(buffer.get()) = number;
  return SampleRef::Adopt(gst_sample_new(buffer.get(), nullptr, nullptr, nullptr));
}

guint64 NumberOf(const GstFrameSlot::Frame& frame) {
  return GST_BUFFER_OFFSET(gst_sample_get_buffer(frame.sample.get()));
}

struct SlotFixture {
  std::vector<GstFrameSlot::Frame> delivered;
  std::shared_ptr<GstFrameSlot> slot =
      GstFrameSlot::Make([this](GstFrameSlot::Frame frame) { delivered.push_back(std::move(frame)); });
  ~SlotFixture() { slot->Close(); }
};

TEST(GstFrameSlot, FramesPutWhileTheUserInterfaceIsBusyCollapseIntoTheNewest) {
  SlotFixture f;
  std::thread streaming([&] {
    for (guint64 i = 1; i <= 20; ++i) f.slot->Put(NumberedSample(i));
  });
  streaming.join();
  gsttest::ProcessEvents();
  ASSERT_EQ(f.delivered.size(), 1u);
  EXPECT_EQ(NumberOf(f.delivered[0]), 20u);
  EXPECT_TRUE(f.delivered[0].firstOfRun);  // the first frame was among those dropped

  f.slot->Put(NumberedSample(21));
  gsttest::ProcessEvents();
  ASSERT_EQ(f.delivered.size(), 2u);
  EXPECT_EQ(NumberOf(f.delivered[1]), 21u);
  EXPECT_FALSE(f.delivered[1].firstOfRun);
}

TEST(GstFrameSlot, OnlyTheFirstFrameOfEachRunIsMarked) {
  SlotFixture f;
  EXPECT_TRUE(f.slot->Put(NumberedSample(1)));
  EXPECT_FALSE(f.slot->Put(NumberedSample(2)));
  f.slot->BeginRun();
  EXPECT_TRUE(f.slot->Put(NumberedSample(3)));
}

TEST(GstFrameSlot, NothingIsDeliveredAfterClosingNotEvenWhatWasQueued) {
  SlotFixture f;
  f.slot->Put(NumberedSample(1));
  f.slot->Close();
  EXPECT_FALSE(f.slot->Put(NumberedSample(2)));
  gsttest::ProcessEvents();
  EXPECT_TRUE(f.delivered.empty());
}

}  // namespace
