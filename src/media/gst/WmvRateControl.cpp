#include "media/gst/WmvRateControl.h"

#include <algorithm>
#include <cmath>

namespace media::gst {
namespace {

// How much finer a quantizer costs: bits ~ 1 / quantizer^kCostExponent.
constexpr double kCostExponent = 0.7;
// Share of the bucket's content given to (or taken from) the next interval.
constexpr double kBalanceShare = 0.25;
// A measurement older than this many intervals no longer counts.
constexpr int kMaxAge = 20;
constexpr int kNeverMeasured = 1 << 20;

}  // namespace

WmvRateControl::WmvRateControl(const Settings& settings) : settings_(settings), quantizer_(settings.quantizer) {
  settings_.framesPerInterval = std::max(1, settings_.framesPerInterval);
  Reset();
}

void WmvRateControl::Reset() {
  quantizer_ = std::clamp(settings_.bitsPerSecond > 0 ? kFirstQuantizer : settings_.quantizer, kFinest, kCoarsest);
  balance_ = spent_ = 0;
  coded_ = 0;
  dropping_ = false;
  cost_.fill(0);
  age_.fill(kNeverMeasured);
}

double WmvRateControl::Window() const { return settings_.windowMs / 1000.0 * settings_.bitsPerSecond; }

double WmvRateControl::BitsPerFrame() const { return settings_.bitsPerSecond / settings_.framesPerSecond; }

bool WmvRateControl::Admit() {
  if (settings_.bitsPerSecond <= 0) return true;
  balance_ = std::min(balance_ + BitsPerFrame(), Window());
  if (dropping_ && balance_ > -Window() / 2) dropping_ = false;
  // Frames go only when the coarsest quantizer, just measured, cannot keep
  // the rate by itself (a debt it can repay is repaid without dropping);
  // an interval's first frame (the key frame) is always coded.
  const bool coarsestTooCostly = age_[kCoarsest] == 0 && cost_[kCoarsest] > BitsPerFrame();
  if (!dropping_ && coded_ > 0 && balance_ < -Window() && quantizer_ == kCoarsest && coarsestTooCostly)
    dropping_ = true;
  return !(dropping_ && coded_ > 0);
}

bool WmvRateControl::Encoded(std::size_t bytes) {
  const double bits = 8.0 * static_cast<double>(bytes);
  spent_ += bits;
  if (settings_.bitsPerSecond > 0) balance_ -= bits;
  if (++coded_ < settings_.framesPerInterval) return false;
  if (settings_.bitsPerSecond > 0) Retune();
  spent_ = 0;
  coded_ = 0;
  return true;
}

double WmvRateControl::PredictedCost(int quantizer) const {
  if (age_[quantizer] <= kMaxAge) return cost_[quantizer];
  return cost_[quantizer_] * std::pow(static_cast<double>(quantizer_) / quantizer, kCostExponent);
}

void WmvRateControl::Retune() {
  for (int& age : age_) age = std::min(age + 1, kNeverMeasured);
  cost_[quantizer_] = spent_ / coded_;
  age_[quantizer_] = 0;
  const double perFrame = BitsPerFrame();
  const double affordable =
      std::max(perFrame + kBalanceShare * balance_ / settings_.framesPerInterval, perFrame / 4);
  int chosen = kCoarsest;
  for (int q = kFinest; q < kCoarsest; ++q)
    if (PredictedCost(q) <= affordable) {
      chosen = q;
      break;
    }
  quantizer_ = chosen;
}

}  // namespace media::gst
