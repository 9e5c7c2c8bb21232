#pragma once
// What each of the ASF writer's 27 system profiles means to our encoder: the
// streams it has and their formats. The identifiers are kWMProfiles; the
// values are this system's own choice for each profile's name.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "media/framework/Guid.h"

namespace media::gst {

struct WMVideoSettings {
  int width = 0;
  int height = 0;
  int fpsNumerator = 0;
  int fpsDenominator = 1;
  // Target bits per second of the encoded video; 0 for a quality profile,
  // which encodes at the fixed `quantizer` instead.
  int bitsPerSecond = 0;
  int quantizer = 0;
  int keyFrameIntervalMs = 0;
};

struct WMAudioSettings {
  int sampleRate = 0;
  int channels = 0;
  int bitsPerSecond = 0;
};

struct WMProfileSettings {
  std::optional<WMVideoSettings> video;
  std::optional<WMAudioSettings> audio;
  // How far the stream may run ahead of its average rate, and the time a
  // player buffers before it starts (the file's preroll).
  int bufferWindowMs = 0;
  // Bytes of every data packet in the file and on the network.
  std::uint32_t packetSize = 0;
};

class WMProfileTable {
 public:
  static constexpr std::size_t kDefaultIndex = 23;

  // The profile's index in kWMProfiles; nullopt for another identifier.
  static std::optional<std::size_t> IndexOf(const GUID& profile);
  // index < kWMProfileCount.
  static const WMProfileSettings& At(std::size_t index);
};

}  // namespace media::gst
