#pragma once
#include <memory>

#include "media/gst/GstFilter.h"

namespace media::gst {

// The converter the builder puts between two pins whose formats differ: for
// raw video a colour-space converter and scaler, for raw audio a sample
// format converter and resampler. Both pass buffers through untouched when
// the formats already agree. Pins "Input" and "Output".
class GstConverterFilter : public GstFilter {
 public:
  enum class Kind { Video, Audio };

  explicit GstConverterFilter(Kind kind);

  // The kind that can turn `offered` into something `accepted` takes, by the
  // media of the formats; nullopt when no converter of ours handles them.
  static std::optional<Kind> KindFor(const GstCaps* offered, const GstCaps* accepted);
  // Nil when the converter's elements are not installed.
  static std::shared_ptr<GstConverterFilter> Make(Kind kind);

  GstPinPtr Input() const { return PinOf(PINDIR_INPUT); }
  GstPinPtr Output() const { return PinOf(PINDIR_OUTPUT); }
  bool IsComplete() const { return complete_; }

 private:
  bool complete_ = false;
};

}  // namespace media::gst
