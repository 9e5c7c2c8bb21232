#pragma once
// Maps the muxer's packet send times onto a clock that starts at zero for the
// first packet of the stream. The muxer's values may carry a large offset (the
// encoder shifts timestamps by many hours) and then wrap at 2^32 ms long
// before a recording ends; the mapped times grow with the source's steps
// instead, so they wrap only after 2^32 ms (49 days) of stream.
#include <cstdint>

namespace media::net {

class SendTimeRebaser {
 public:
  // The first call answers 0. Mapped times never decrease: a source time
  // slightly before the latest one (less than kJitter) answers the latest
  // result again; one far before it is a discontinuity, from which mapping
  // goes on with the new source times.
  std::uint32_t map(std::uint32_t sourceTime);
  void reset() { started_ = false; }

  static constexpr std::int32_t kJitter = 10'000;  // ms

 private:
  bool started_ = false;
  std::uint32_t lastSource_ = 0;
  std::uint32_t lastMapped_ = 0;
};

}  // namespace media::net
