#include "media/gst/WMProfileTable.h"

#include <array>

#include "media/framework/WMProfiles.h"

namespace media::gst {
namespace {

constexpr WMVideoSettings Video(int width, int height, int fps, int bitsPerSecond, int keyFrameIntervalMs) {
  return {width, height, fps, 1, bitsPerSecond, 0, keyFrameIntervalMs};
}
constexpr WMVideoSettings Ntsc(int bitsPerSecond) { return {720, 480, 30000, 1001, bitsPerSecond, 0, 3000}; }
// A quality profile: the bit rate follows the picture.
constexpr WMVideoSettings Quality(int width, int height, int fps, int quantizer) {
  return {width, height, fps, 1, 0, quantizer, 4000};
}
constexpr WMAudioSettings Audio(int sampleRate, int channels, int bitsPerSecond) {
  return {sampleRate, channels, bitsPerSecond};
}
constexpr std::nullopt_t kNone = std::nullopt;

// Video rates leave room for the audio and for about 5 % of container
// overhead within the profile's name rate. Multiple-bit-rate profiles are
// written at the highest of their rates. The encoder takes no audio below
// 24 kbps, so the smallest profiles give it that. A data packet holds about a
// quarter of a second, so a live client or a recording cut off loses little.
const std::array<WMProfileSettings, kWMProfileCount> kSettings = {{
    {Video(320, 240, 15, 205'000, 3000), Audio(22050, 2, 32'000), 3000, 8000},    //  0 255 kbps handheld
    {Video(208, 160, 15, 110'000, 3000), Audio(22050, 2, 32'000), 3000, 4800},    //  1 150 kbps handheld
    {Video(176, 144, 15, 28'000, 3000), Audio(22050, 1, 24'000), 3000, 1600},     //  2 28.8/56 MBR
    {Video(640, 480, 30, 660'000, 3000), Audio(44100, 2, 64'000), 3000, 16000},   //  3 100-768 MBR
    {Video(240, 176, 15, 70'000, 3000), Audio(22050, 1, 24'000), 3000, 3200},     //  4 28.8-100 MBR
    {Video(160, 120, 10, 12'000, 5000), Audio(22050, 1, 24'000), 5000, 1600},     //  5 28.8 video
    {Video(176, 144, 15, 28'000, 3000), Audio(22050, 1, 24'000), 3000, 1600},     //  6 56 video
    {Video(240, 176, 15, 70'000, 3000), Audio(22050, 1, 24'000), 3000, 3200},     //  7 100 video
    {Video(320, 240, 15, 205'000, 3000), Audio(22050, 2, 32'000), 3000, 8000},    //  8 256 video
    {Video(320, 240, 30, 325'000, 3000), Audio(22050, 2, 32'000), 3000, 12000},   //  9 384 video
    {Video(640, 480, 30, 660'000, 3000), Audio(44100, 2, 64'000), 3000, 16000},   // 10 768 video
    {Ntsc(600'000), Audio(44100, 2, 64'000), 3000, 16000},                        // 11 700 NTSC
    {Ntsc(1'200'000), Audio(44100, 2, 128'000), 3000, 32000},                     // 12 1400 NTSC
    {Video(352, 288, 25, 325'000, 3000), Audio(22050, 2, 32'000), 3000, 12000},   // 13 384 PAL
    {Video(720, 576, 25, 600'000, 3000), Audio(44100, 2, 64'000), 3000, 16000},   // 14 700 PAL
    {kNone, Audio(22050, 1, 24'000), 3000, 1600},                                 // 15 28.8 mono audio
    {kNone, Audio(22050, 2, 24'000), 3000, 1600},                                 // 16 28.8 stereo audio
    {kNone, Audio(22050, 2, 32'000), 3000, 1600},                                 // 17 32 stereo audio
    {kNone, Audio(32000, 2, 48'000), 3000, 1600},                                 // 18 48 stereo audio
    {kNone, Audio(44100, 2, 64'000), 3000, 2000},                                 // 19 64 stereo audio
    {kNone, Audio(44100, 2, 96'000), 3000, 3200},                                 // 20 96 stereo audio
    {kNone, Audio(44100, 2, 128'000), 3000, 4000},                                // 21 128 stereo audio
    {Video(176, 144, 10, 26'000, 5000), kNone, 5000, 1600},                       // 22 28.8 video only
    {Video(320, 240, 15, 52'000, 3000), kNone, 3000, 1600},                       // 23 56 video only
    {Quality(320, 240, 30, 16), Audio(44100, 2, 64'000), 5000, 8000},             // 24 fair VBR
    {Quality(640, 480, 30, 8), Audio(44100, 2, 96'000), 5000, 16000},             // 25 high VBR
    {Quality(640, 480, 30, 4), Audio(44100, 2, 128'000), 5000, 32000},            // 26 best VBR
}};

}  // namespace

std::optional<std::size_t> WMProfileTable::IndexOf(const GUID& profile) {
  for (std::size_t i = 0; i < kWMProfiles.size(); ++i)
    if (kWMProfiles[i] == profile) return i;
  return std::nullopt;
}

const WMProfileSettings& WMProfileTable::At(std::size_t index) { return kSettings.at(index); }

}  // namespace media::gst
