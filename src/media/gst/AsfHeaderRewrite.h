#pragma once
// The header objects that the muxer leaves out or leaves empty, put into the
// header it writes. GStreamer's asfmux writes the File Properties Object
// without the maximum bit rate and the Extended Stream Properties Objects
// without bit rate, buffer and frame time, and writes neither a Codec List
// nor a Stream Bitrate Properties Object; players then cannot seek by bit
// rate, guess the frame rate, or name the codec from the header. No element
// writes these, so they are written here, from what the profile says.
//
// The header keeps the muxer's size: the muxer is asked to reserve space
// (its padding object), and the new objects take that space, so the data
// packets, the index and the positions the muxer comes back to when it
// rewrites the header at the stop stay where it put them.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace media::gst {

struct WMProfileSettings;

// What the header states about a stream, known before it is encoded.
struct AsfStreamFacts {
  std::uint32_t bitsPerSecond = 0;  // 0: not known beforehand
  std::uint32_t bufferWindowMs = 0;
  std::uint64_t timePerFrame = 0;   // 100-nanosecond units; 0 for audio
  std::u16string codecName;
};

class AsfHeaderRewrite {
 public:
  AsfHeaderRewrite(std::optional<AsfStreamFacts> audio, std::optional<AsfStreamFacts> video);
  static AsfHeaderRewrite ForProfile(const WMProfileSettings& profile);

  // The bytes the muxer must reserve in its header (its "padding") for the
  // objects of every stream of the profile; fewer streams leave a padding
  // object behind.
  std::uint32_t Reserve() const;

  // Rewrites, in place, a header as the muxer writes it (the Header Object,
  // then the start of the Data Object): the File Properties' maximum bit
  // rate when every stream's rate is known, the Extended Stream Properties
  // of each stream, and, in the reserved space, the Codec List and the
  // Stream Bitrate Properties. false, and the bytes untouched, when the
  // header cannot be read; without room for the new objects only the fields
  // in place are written.
  bool Rewrite(std::span<std::uint8_t> header);

  // The muxer's rewrite at the stop: `bytes` written at file position
  // `position`. Its File Properties part states no maximum bit rate again;
  // that is put back. false when the bytes hold no such field (or no
  // header was rewritten before).
  bool MendLateWrite(std::uint64_t position, std::span<std::uint8_t> bytes) const;

 private:
  std::optional<AsfStreamFacts> audio_;
  std::optional<AsfStreamFacts> video_;
  // Learnt from the header rewritten last, for the late write.
  std::optional<std::uint64_t> maxBitRateAt_;
  std::uint32_t maxBitRate_ = 0;
};

}  // namespace media::gst
