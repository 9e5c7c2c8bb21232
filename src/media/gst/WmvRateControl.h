#pragma once
#include <array>
#include <cstddef>

namespace media::gst {

// Holds the video encoder to a profile's bit rate. The encoder codes each
// interval (one key frame and the frames up to the next) at one quantizer,
// chosen here at the end of the interval before; a new quantizer takes a new
// encoder, which starts with a key frame, so quantizers change only where a
// key frame is due anyway.
//
// The bits spent are weighed against a bucket that fills at the target rate
// and holds at most the buffer window's worth: the next quantizer is the
// finest whose expected cost per frame fits the rate plus a quarter of what
// the bucket holds (or owes) per frame. Costs are learnt per quantizer from
// the intervals coded with it (the encoder costs several times more at some
// quantizers for some pictures, so cost is not taken to fall steadily with
// the quantizer); a quantizer not measured lately is judged from the current
// one. When the coarsest quantizer costs more than the rate allows and the
// bucket owes more than the window, frames are dropped before the encoder
// until the debt is down to half the window.
//
// A quality profile (no target rate) keeps its quantizer and drops nothing.
// One streaming thread only; no locks.
class WmvRateControl {
 public:
  static constexpr int kFinest = 2;
  static constexpr int kCoarsest = 31;
  static constexpr int kFirstQuantizer = 20;

  struct Settings {
    int bitsPerSecond = 0;  // 0: fixed `quantizer`
    int quantizer = kFirstQuantizer;
    double framesPerSecond = 15;
    int framesPerInterval = 45;
    int windowMs = 3000;
  };

  explicit WmvRateControl(const Settings& settings);

  // The quantizer of the interval being coded.
  int Quantizer() const { return quantizer_; }
  // A raw frame arrived; false when it is to be dropped instead of coded.
  bool Admit();
  // A frame was coded into `bytes`; true when it ended its interval, so that
  // the next frame starts one at the (maybe new) Quantizer().
  bool Encoded(std::size_t bytes);
  // A new stream: the first interval, an empty bucket, nothing learnt.
  void Reset();

 private:
  void Retune();
  double PredictedCost(int quantizer) const;
  double Window() const;
  double BitsPerFrame() const;

  Settings settings_;
  int quantizer_;
  double balance_ = 0;  // bits the bucket holds; negative when overspent
  double spent_ = 0;    // bits of the interval being coded
  int coded_ = 0;       // frames of the interval coded so far
  bool dropping_ = false;
  std::array<double, kCoarsest + 1> cost_{};  // bits per frame, by quantizer
  std::array<int, kCoarsest + 1> age_{};      // intervals since measured
};

}  // namespace media::gst
