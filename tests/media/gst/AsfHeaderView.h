#pragma once
// An ASF header read object by object, for tests that check what a header
// holds independently of the code that wrote it. Expects a well-formed
// header; only what the tests ask about is read.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "media/gst/AsfObjectGuids.h"

namespace gsttest {

using media::net::AsfGuid;

inline constexpr AsfGuid kHeaderExtension = media::gst::kAsfHeaderExtensionObject;
inline constexpr AsfGuid kExtendedStream = media::gst::kAsfExtendedStreamPropertiesObject;
inline constexpr AsfGuid kPadding = media::gst::kAsfPaddingObject;
inline constexpr AsfGuid kCodecList = media::gst::kAsfCodecListObject;
inline constexpr AsfGuid kStreamBitrates = media::gst::kAsfStreamBitratePropertiesObject;

class AsfHeaderView {
 public:
  // `bytes` starts with the Header Object and outlives the view.
  explicit AsfHeaderView(const std::vector<std::uint8_t>& bytes);

  bool Has(const AsfGuid& object) const { return objects_.count(object) > 0; }
  std::size_t Offset(const AsfGuid& object) const { return objects_.at(object); }
  // A field of a top-level object, and of a stream's Extended Stream
  // Properties Object.
  std::uint64_t At(const AsfGuid& object, std::size_t field, std::size_t width) const;
  std::uint64_t Extended(unsigned stream, std::size_t field, std::size_t width) const;
  // The Codec List's entries as "type:name:information", the information
  // of video as its FourCC and of audio as its format tag in decimal.
  std::vector<std::string> Codecs() const;
  // Stream number to average bit rate, from the Stream Bitrate Properties.
  std::map<unsigned, std::uint32_t> Bitrates() const;

  std::uint64_t size = 0;   // of the Header Object
  std::uint64_t count = 0;  // objects, as its count field says
  std::vector<AsfGuid> order;  // the top-level objects as they come

 private:
  AsfGuid Guid(std::size_t at) const;

  const std::vector<std::uint8_t>& bytes_;
  std::map<AsfGuid, std::size_t> objects_;
  std::map<std::uint64_t, std::size_t> extended_;  // by stream number
};

}  // namespace gsttest
