#include "media/gst/AsfHeaderRewrite.h"

#include <algorithm>

#include "media/gst/AsfObjectGuids.h"
#include "media/gst/WMProfileTable.h"
#include "media/gst/net/AsfGuids.h"
#include "media/gst/net/LittleEndian.h"

namespace media::gst {
namespace {

using net::appendLE;
using net::AsfGuid;
using net::hasAsfGuid;
using net::readLE;
using net::writeLE;

constexpr std::size_t kObjectHead = 24;  // GUID + 64-bit size
constexpr std::size_t kHeaderObjectHead = 30;
constexpr std::size_t kHeaderObjectCount = 24;
// File Properties Object.
constexpr std::size_t kFilePropertiesSize = 104, kFpMaxBitRate = 100;
// Stream Properties Object.
constexpr std::size_t kStreamPropertiesSize = 78, kSpStreamType = 24, kSpTypeDataLength = 64, kSpFlags = 72;
// Its type-specific data: the video format's compression (in the bitmap
// header after the 11-byte format head) and the audio format tag.
constexpr std::size_t kVideoCompression = 11 + 16, kAudioFormatTag = 0;
// Header Extension Object.
constexpr std::size_t kHeaderExtensionHead = 46, kHeDataSize = 42;
// Extended Stream Properties Object.
constexpr std::size_t kExtendedStreamSize = 88, kEspDataBitrate = 40, kEspBufferSize = 44,
                      kEspAltDataBitrate = 52, kEspAltBufferSize = 56, kEspStreamNumber = 72,
                      kEspTimePerFrame = 76;
constexpr std::uint16_t kCodecVideo = 1, kCodecAudio = 2;

constexpr std::size_t kNone = std::size_t(-1);

// The objects from `from` to `to`, each checked to lie within; calls
// visit(at, size) for each. false when one does not fit.
template <class Visit>
bool ForEachObject(std::span<const std::uint8_t> bytes, std::size_t from, std::size_t to, Visit visit) {
  for (std::size_t at = from; at < to;) {
    if (to - at < kObjectHead) return false;
    const std::uint64_t size = readLE(bytes.data() + at + 16, 8);
    if (size < kObjectHead || size > to - at) return false;
    visit(at, static_cast<std::size_t>(size));
    at += size;
  }
  return true;
}

void AppendGuid(std::vector<std::uint8_t>& out, const AsfGuid& guid) { out.insert(out.end(), guid.begin(), guid.end()); }

// A length-prefixed string: its length in UTF-16 units with the terminator,
// then the units and the terminator.
void AppendCountedString(std::vector<std::uint8_t>& out, const std::u16string& text) {
  appendLE(out, 2, text.size() + 1);
  for (char16_t unit : text) appendLE(out, 2, unit);
  appendLE(out, 2, 0);
}

void AppendObjectHead(std::vector<std::uint8_t>& out, const AsfGuid& guid) {
  AppendGuid(out, guid);
  appendLE(out, 8, 0);  // size, set when the object is complete
}

void CloseObject(std::vector<std::uint8_t>& out, std::size_t start) {
  writeLE(out.data() + start + 16, 8, out.size() - start);
}

struct Stream {
  unsigned number = 0;
  bool video = false;
  std::vector<std::uint8_t> codecInformation;  // the FourCC, or the format tag
};

struct Layout {
  std::size_t size = 0;  // of the Header Object
  std::size_t fileProperties = kNone;
  std::size_t padding = kNone, paddingSize = 0;
  bool hasNewObjects = false;
  std::vector<Stream> streams;
  std::vector<std::size_t> extendedProperties;
};

// The facts of the profile's streams, by kind.
struct Profile {
  const std::optional<AsfStreamFacts>& audio;
  const std::optional<AsfStreamFacts>& video;
  const std::optional<AsfStreamFacts>& Of(const Stream& stream) const { return stream.video ? video : audio; }
};

// The stream a Stream Properties Object declares; nullopt for a kind other
// than audio and video, or a type-specific part too short for its format.
std::optional<Stream> ReadStream(std::span<const std::uint8_t> object) {
  if (object.size() < kStreamPropertiesSize) return std::nullopt;
  Stream stream;
  stream.number = readLE(object.data() + kSpFlags, 2) & 0x7F;
  stream.video = hasAsfGuid(object.subspan(kSpStreamType), net::kAsfVideoMedia);
  if (!stream.video && !hasAsfGuid(object.subspan(kSpStreamType), net::kAsfAudioMedia)) return std::nullopt;
  const std::uint64_t typeData = readLE(object.data() + kSpTypeDataLength, 4);
  const std::size_t at = stream.video ? kVideoCompression : kAudioFormatTag;
  const std::size_t length = stream.video ? 4 : 2;
  if (typeData > object.size() - kStreamPropertiesSize || at + length > typeData) return std::nullopt;
  const auto* info = object.data() + kStreamPropertiesSize + at;
  stream.codecInformation.assign(info, info + length);
  return stream;
}

bool ReadHeaderExtension(std::span<const std::uint8_t> header, std::size_t at, std::size_t size, Layout& layout) {
  if (size < kHeaderExtensionHead) return false;
  const std::uint64_t dataSize = readLE(header.data() + at + kHeDataSize, 4);
  if (dataSize > size - kHeaderExtensionHead) return false;
  const std::size_t from = at + kHeaderExtensionHead;
  return ForEachObject(header, from, from + dataSize, [&](std::size_t child, std::size_t childSize) {
    if (hasAsfGuid(header.subspan(child), kAsfExtendedStreamPropertiesObject) && childSize >= kExtendedStreamSize)
      layout.extendedProperties.push_back(child);
  });
}

std::optional<Layout> ReadLayout(std::span<const std::uint8_t> header) {
  if (header.size() < kHeaderObjectHead || !hasAsfGuid(header, net::kAsfHeaderObject)) return std::nullopt;
  Layout layout;
  const std::uint64_t size = readLE(header.data() + 16, 8);
  if (size < kHeaderObjectHead || size > header.size()) return std::nullopt;
  layout.size = static_cast<std::size_t>(size);
  bool extensionRead = true;
  const bool fits = ForEachObject(header, kHeaderObjectHead, layout.size, [&](std::size_t at, std::size_t objectSize) {
    const auto object = header.subspan(at, objectSize);
    if (hasAsfGuid(object, net::kAsfFilePropertiesObject) && objectSize >= kFilePropertiesSize) {
      layout.fileProperties = at;
    } else if (hasAsfGuid(object, net::kAsfStreamPropertiesObject)) {
      if (auto stream = ReadStream(object))
        layout.streams.push_back(std::move(*stream));
    } else if (hasAsfGuid(object, kAsfHeaderExtensionObject)) {
      extensionRead = extensionRead && ReadHeaderExtension(header, at, objectSize, layout);
    } else if (hasAsfGuid(object, kAsfPaddingObject) && layout.padding == kNone) {
      layout.padding = at;
      layout.paddingSize = objectSize;
    } else if (hasAsfGuid(object, kAsfCodecListObject) || hasAsfGuid(object, kAsfStreamBitratePropertiesObject)) {
      layout.hasNewObjects = true;
    }
  });
  if (!fits || !extensionRead) return std::nullopt;
  return layout;
}

// The Codec List, one entry per stream the profile describes, and the
// Stream Bitrate Properties, one record per such stream.
std::vector<std::uint8_t> NewObjects(const Profile& profile, const std::vector<Stream>& streams) {
  std::vector<std::uint8_t> out;
  AppendObjectHead(out, kAsfCodecListObject);
  AppendGuid(out, kAsfCodecListReserved);
  const std::size_t countAt = out.size();
  appendLE(out, 4, 0);
  std::uint32_t entries = 0;
  for (const Stream& stream : streams) {
    const auto& facts = profile.Of(stream);
    if (!facts) continue;
    appendLE(out, 2, stream.video ? kCodecVideo : kCodecAudio);
    AppendCountedString(out, facts->codecName);
    AppendCountedString(out, u"");  // no description
    appendLE(out, 2, stream.codecInformation.size());
    out.insert(out.end(), stream.codecInformation.begin(), stream.codecInformation.end());
    ++entries;
  }
  writeLE(out.data() + countAt, 4, entries);
  CloseObject(out, 0);

  const std::size_t bitrates = out.size();
  AppendObjectHead(out, kAsfStreamBitratePropertiesObject);
  appendLE(out, 2, entries);
  for (const Stream& stream : streams)
    if (const auto& facts = profile.Of(stream)) {
      appendLE(out, 2, stream.number);
      appendLE(out, 4, facts->bitsPerSecond);
    }
  CloseObject(out, bitrates);
  return out;
}

// The sum of the streams' rates; 0 (not stated) when one of them is not
// known beforehand.
std::uint32_t MaxBitRate(const Profile& profile, const std::vector<Stream>& streams) {
  std::uint32_t sum = 0;
  for (const Stream& stream : streams) {
    const auto& facts = profile.Of(stream);
    if (!facts || facts->bitsPerSecond == 0) return 0;
    sum += facts->bitsPerSecond;
  }
  return sum;
}

void WriteExtendedProperties(const Profile& profile, std::span<std::uint8_t> header, const Layout& layout) {
  for (std::size_t at : layout.extendedProperties) {
    std::uint8_t* esp = header.data() + at;
    const unsigned number = readLE(esp + kEspStreamNumber, 2) & 0x7F;
    for (const Stream& stream : layout.streams) {
      const auto& facts = profile.Of(stream);
      if (stream.number != number || !facts) continue;
      for (std::size_t field : {kEspDataBitrate, kEspAltDataBitrate}) writeLE(esp + field, 4, facts->bitsPerSecond);
      for (std::size_t field : {kEspBufferSize, kEspAltBufferSize}) writeLE(esp + field, 4, facts->bufferWindowMs);
      writeLE(esp + kEspTimePerFrame, 8, facts->timePerFrame);
    }
  }
}

// Into the padding object: the new objects, then what is left of the
// padding as a padding object of its own (none when they fill it exactly).
void WriteNewObjects(const Profile& profile, std::span<std::uint8_t> header, const Layout& layout) {
  if (layout.padding == kNone || layout.hasNewObjects) return;
  const auto objects = NewObjects(profile, layout.streams);
  if (objects.size() > layout.paddingSize) return;
  const std::size_t left = layout.paddingSize - objects.size();
  if (left != 0 && left < kObjectHead) return;
  std::copy(objects.begin(), objects.end(), header.begin() + layout.padding);
  if (left > 0) {
    std::uint8_t* padding = header.data() + layout.padding + objects.size();
    std::copy(kAsfPaddingObject.begin(), kAsfPaddingObject.end(), padding);
    writeLE(padding + 16, 8, left);
    std::fill(padding + kObjectHead, padding + left, 0);
  }
  // The muxer counts its padding object out; the count is of every object.
  std::uint32_t count = 0;
  ForEachObject(header, kHeaderObjectHead, layout.size, [&](std::size_t, std::size_t) { ++count; });
  writeLE(header.data() + kHeaderObjectCount, 4, count);
}

}  // namespace

AsfHeaderRewrite::AsfHeaderRewrite(std::optional<AsfStreamFacts> audio, std::optional<AsfStreamFacts> video)
    : audio_(std::move(audio)), video_(std::move(video)) {}

AsfHeaderRewrite AsfHeaderRewrite::ForProfile(const WMProfileSettings& profile) {
  const auto window = static_cast<std::uint32_t>(profile.bufferWindowMs);
  std::optional<AsfStreamFacts> audio, video;
  if (profile.audio)
    audio = AsfStreamFacts{static_cast<std::uint32_t>(profile.audio->bitsPerSecond), window, 0,
                           u"Windows Media Audio 8"};
  if (profile.video) {
    const auto& v = *profile.video;
    // 100-nanosecond units, rounded to the nearest.
    const std::uint64_t timePerFrame =
        v.fpsNumerator > 0 ? (10'000'000ull * v.fpsDenominator + v.fpsNumerator / 2) / v.fpsNumerator : 0;
    video = AsfStreamFacts{static_cast<std::uint32_t>(v.bitsPerSecond), window, timePerFrame,
                           u"Windows Media Video 8"};
  }
  return AsfHeaderRewrite(std::move(audio), std::move(video));
}

std::uint32_t AsfHeaderRewrite::Reserve() const {
  std::vector<Stream> all;
  if (audio_) all.push_back({1, false, std::vector<std::uint8_t>(2)});
  if (video_) all.push_back({2, true, std::vector<std::uint8_t>(4)});
  return static_cast<std::uint32_t>(NewObjects({audio_, video_}, all).size());
}

bool AsfHeaderRewrite::Rewrite(std::span<std::uint8_t> header) {
  const auto layout = ReadLayout(header);
  if (!layout) return false;
  const Profile profile{audio_, video_};
  maxBitRateAt_.reset();
  maxBitRate_ = MaxBitRate(profile, layout->streams);
  if (layout->fileProperties != kNone) {
    if (maxBitRate_ > 0) writeLE(header.data() + layout->fileProperties + kFpMaxBitRate, 4, maxBitRate_);
    maxBitRateAt_ = layout->fileProperties + kFpMaxBitRate;
  }
  WriteExtendedProperties(profile, header, *layout);
  WriteNewObjects(profile, header, *layout);
  return true;
}

bool AsfHeaderRewrite::MendLateWrite(std::uint64_t position, std::span<std::uint8_t> bytes) const {
  if (!maxBitRateAt_ || maxBitRate_ == 0 || position > *maxBitRateAt_) return false;
  const std::uint64_t at = *maxBitRateAt_ - position;
  if (at + 4 > bytes.size()) return false;
  writeLE(bytes.data() + at, 4, maxBitRate_);
  return true;
}

}  // namespace media::gst
