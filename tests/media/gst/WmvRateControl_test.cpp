#include "media/gst/WmvRateControl.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using media::gst::WmvRateControl;

constexpr int kTarget = 52'000;
constexpr double kFps = 15;

// A stand-in for the encoder on one kind of picture: bits per frame at each
// quantizer, a key frame costing four frames, and a band of quantizers that
// costs `bandFactor` times more (the real encoder has such bands).
struct Picture {
  const char* name;
  double bitsAtQ20;
  double bandFactor = 1;
  int bandFrom = 0, bandTo = -1;

  double Bits(int q, bool key) const {
    double bits = bitsAtQ20 * std::pow(20.0 / q, 0.8);
    if (q >= bandFrom && q <= bandTo) bits *= bandFactor;
    return key ? 4 * bits : bits;
  }
};

struct Outcome {
  double bitsPerSecond = 0;
  int dropped = 0;
  int lastQuantizer = 0;
};

// Feeds `seconds` of the picture through the control as the stage does.
Outcome Simulate(WmvRateControl& control, const Picture& picture, int seconds) {
  double bits = 0;
  Outcome run;
  bool intervalStart = true;
  for (int frame = 0; frame < seconds * kFps; ++frame) {
    if (!control.Admit()) {
      ++run.dropped;
      continue;
    }
    const double coded = picture.Bits(control.Quantizer(), intervalStart);
    bits += coded;
    intervalStart = control.Encoded(static_cast<std::size_t>(coded / 8));
  }
  run.bitsPerSecond = bits / seconds;
  run.lastQuantizer = control.Quantizer();
  return run;
}

WmvRateControl RateControl() { return WmvRateControl({kTarget, WmvRateControl::kFirstQuantizer, kFps, 45, 3000}); }

class WmvRateControlPictures : public ::testing::TestWithParam<Picture> {};

TEST_P(WmvRateControlPictures, AMinuteComesOutNearTheTargetWithoutDroppingFrames) {
  WmvRateControl control = RateControl();
  const Outcome run = Simulate(control, GetParam(), 60);
  EXPECT_NEAR(run.bitsPerSecond, kTarget, kTarget * 0.1);
  EXPECT_EQ(run.dropped, 0);
}

INSTANTIATE_TEST_SUITE_P(Pictures, WmvRateControlPictures,
                         ::testing::Values(Picture{"Moderate", 2400}, Picture{"Detailed", 4200},
                                           Picture{"Plain", 900},
                                           // The fitting quantizers lie in a band that costs four times more.
                                           Picture{"CostlyBand", 2800, 4, 14, 19}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WmvRateControl, APictureTooPlainForTheRateIsCodedAtTheFinestQuantizer) {
  WmvRateControl control = RateControl();
  const Outcome run = Simulate(control, Picture{"Empty", 200}, 60);
  EXPECT_EQ(run.lastQuantizer, WmvRateControl::kFinest);
  EXPECT_LT(run.bitsPerSecond, kTarget);
}

TEST(WmvRateControl, APictureTooBusyEvenAtTheCoarsestQuantizerLosesFramesNotTheRate) {
  WmvRateControl control = RateControl();
  const Outcome run = Simulate(control, Picture{"Noise", 40'000}, 60);
  EXPECT_EQ(run.lastQuantizer, WmvRateControl::kCoarsest);
  EXPECT_GT(run.dropped, 0);
  EXPECT_LT(run.bitsPerSecond, kTarget * 1.15);
}

TEST(WmvRateControl, FollowsAPictureThatGetsBusier) {
  WmvRateControl control = RateControl();
  Simulate(control, Picture{"Calm", 1500}, 30);
  const Outcome busy = Simulate(control, Picture{"Busy", 6000}, 60);
  EXPECT_NEAR(busy.bitsPerSecond, kTarget, kTarget * 0.1);
}

TEST(WmvRateControl, AQualityProfileKeepsItsQuantizerAndCountsIntervals) {
  WmvRateControl control({0, 8, 30, 120, 5000});
  int intervals = 0;
  for (int frame = 0; frame < 1200; ++frame) {
    ASSERT_TRUE(control.Admit());
    intervals += control.Encoded(100'000);
  }
  EXPECT_EQ(control.Quantizer(), 8);
  EXPECT_EQ(intervals, 10);
}

TEST(WmvRateControl, ResetStartsOverAtTheFirstQuantizer) {
  WmvRateControl control = RateControl();
  Simulate(control, Picture{"Detailed", 4200}, 20);
  ASSERT_NE(control.Quantizer(), WmvRateControl::kFirstQuantizer);
  control.Reset();
  EXPECT_EQ(control.Quantizer(), WmvRateControl::kFirstQuantizer);
}

}  // namespace
