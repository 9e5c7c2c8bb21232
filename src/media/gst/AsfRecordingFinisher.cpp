// Why the header is patched here instead of remuxing with asfdemux ! asfmux:
// measured on a recording cut off by kill -9, the remux lost the last video
// frame, wrote a play duration of 0 (the demuxer's buffers carry no
// duration, and the muxer adds up durations), was again not seekable, and
// left a last packet whose length players reject; it also repacketizes
// and writes a header of its own, dropping the objects of ours. The
// original's own header with the File Properties and Data Object counts
// filled in keeps every packet byte for byte; only the simple index needs
// the payload headers read (the demuxer gives no packet numbers), which
// the live stream's packet reader already does. The demuxer still has the
// last word: a copy it does not read to the end is never used.
#include "media/gst/AsfRecordingFinisher.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "media/gst/AsfDemuxReading.h"
#include "media/gst/AsfPacketPadding.h"
#include "media/gst/net/AsfGuids.h"
#include "media/gst/net/AsfHeader.h"
#include "media/gst/net/AsfPacketReader.h"
#include "media/gst/net/LittleEndian.h"
#include "media/gst/net/UniqueFd.h"

namespace media::gst {
namespace {

using net::readLE;
using net::UniqueFd;
using net::writeLE;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kHeaderObjectHead = 30, kObjectHead = 24, kFilePropertiesSize = 104,
                      kStreamPropertiesMin = 78, kDataObjectStart = net::AsfHeader::kDataObjectStart;
// File Properties Object fields.
constexpr std::size_t kFpFileId = 24, kFpFileSize = 40, kFpPacketCount = 56, kFpPlayDuration = 64,
                      kFpSendDuration = 72, kFpPreroll = 80, kFpFlags = 88, kFpMinPacket = 92, kFpMaxPacket = 96;
constexpr std::uint32_t kBroadcastFlag = 0x1, kSeekableFlag = 0x2;
// Stream Properties Object fields.
constexpr std::size_t kSpStreamType = 24, kSpFlags = 72;
// Data Object fields.
constexpr std::size_t kDataSize = 16, kDataPacketCount = 40;
// Times in the header are in 100 ns; the packets' in milliseconds.
constexpr std::uint64_t kTicksPerMs = 10'000;
constexpr std::uint64_t kIndexInterval = 1000 * kTicksPerMs;
constexpr std::size_t kSimpleIndexHead = 56, kSimpleIndexEntry = 6;
constexpr std::uint64_t kPacketsPerRead = 512;
constexpr net::AsfGuid kSimpleIndexObject =
    net::makeAsfGuid(0x33000890, 0xE5B1, 0x11CF, {0x89, 0xF4, 0x00, 0xA0, 0xC9, 0x03, 0x49, 0xCB});

using Result = AsfRecordingFinisher::Result;
using Outcome = AsfRecordingFinisher::Outcome;

Result LeftAsItWas(std::string why) { return {Outcome::kLeftAsItWas, std::move(why)}; }
// Sets the reason of a failed step; false.
bool Fail(std::string& why, std::string reason) {
  why = std::move(reason);
  return false;
}
std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

bool ReadAt(int fd, void* into, std::size_t size, off_t at) {
  auto* p = static_cast<std::uint8_t*>(into);
  while (size > 0) {
    const ssize_t n = ::pread(fd, p, size, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n, at += n, size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const Bytes& bytes) {
  const std::uint8_t* p = bytes.data();
  std::size_t size = bytes.size();
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n, size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The original's Header Object and Data Object start, and what the
// finishing needs of them.
struct Header {
  Bytes bytes;
  std::size_t fileProperties = 0;
  std::size_t dataObject = 0;  // the Header Object's size
  std::uint32_t packetSize = 0;
  std::uint64_t prerollMs = 0;
  std::bitset<128> streams, video;

  std::uint8_t* FileProperties() { return bytes.data() + fileProperties; }
  const std::uint8_t* FileProperties() const { return bytes.data() + fileProperties; }
  std::uint64_t DataStart() const { return dataObject + kDataObjectStart; }
  // The writer leaves these at 0 until its stop rewrite.
  bool Unfinished() const {
    return std::ranges::all_of(std::array{kFpFileSize, kFpPacketCount, kFpPlayDuration, kFpSendDuration},
                               [&](std::size_t field) { return readLE(FileProperties() + field, 8) == 0; });
  }
};

bool ReadObjects(Header& h) {
  bool sawFileProperties = false;
  for (std::size_t at = kHeaderObjectHead; at < h.dataObject;) {
    if (h.dataObject - at < kObjectHead) return false;
    const std::uint64_t size = readLE(h.bytes.data() + at + 16, 8);
    if (size < kObjectHead || size > h.dataObject - at) return false;
    const std::span<const std::uint8_t> object(h.bytes.data() + at, size);
    if (net::hasAsfGuid(object, net::kAsfFilePropertiesObject)) {
      if (size < kFilePropertiesSize || sawFileProperties) return false;
      sawFileProperties = true;
      h.fileProperties = at;
    } else if (net::hasAsfGuid(object, net::kAsfStreamPropertiesObject) && size >= kStreamPropertiesMin) {
      const unsigned number = readLE(object.data() + kSpFlags, 2) & 0x7F;
      h.streams.set(number);
      if (net::hasAsfGuid(object.subspan(kSpStreamType), net::kAsfVideoMedia)) h.video.set(number);
    }
    at += size;
  }
  return sawFileProperties;
}

std::optional<Header> ReadHeader(int fd, std::uint64_t fileSize, std::string& why) {
  Header h;
  h.bytes.resize(kHeaderObjectHead);
  if (fileSize < kHeaderObjectHead + kDataObjectStart || !ReadAt(fd, h.bytes.data(), kHeaderObjectHead, 0) ||
      !net::hasAsfGuid(h.bytes, net::kAsfHeaderObject)) {
    why = "no ASF header";
    return std::nullopt;
  }
  const std::uint64_t size = readLE(h.bytes.data() + 16, 8);
  if (size < kHeaderObjectHead || size > fileSize - kDataObjectStart) {
    why = "the header is cut off";
    return std::nullopt;
  }
  h.dataObject = size;
  h.bytes.resize(size + kDataObjectStart);
  if (!ReadAt(fd, h.bytes.data(), h.bytes.size(), 0) ||
      !net::hasAsfGuid(std::span(h.bytes).subspan(size), net::kAsfDataObject) || !ReadObjects(h)) {
    why = "the header is malformed";
    return std::nullopt;
  }
  const auto minPacket = static_cast<std::uint32_t>(readLE(h.FileProperties() + kFpMinPacket, 4));
  const auto maxPacket = static_cast<std::uint32_t>(readLE(h.FileProperties() + kFpMaxPacket, 4));
  if (minPacket != maxPacket || minPacket == 0) {
    why = "the header states no fixed packet size";
    return std::nullopt;
  }
  h.packetSize = minPacket;
  h.prerollMs = readLE(h.FileProperties() + kFpPreroll, 8);
  return h;
}

// What the packets say: how many of them to keep, the time each stream
// spans and where the key frames of the video streams are.
struct Packets {
  struct Span {
    std::uint32_t first = UINT32_MAX, last = 0;
    std::uint64_t objects = 0;
  };
  struct KeyFrame {
    std::uint32_t time, object;
    std::uint64_t firstPacket, lastPacket;
  };
  // Up to the last packet that reads: a cut-off tail (zeros after a power
  // loss, say) is left out, a bad packet before it is kept as it is.
  std::uint64_t count = 0;
  std::map<unsigned, Span> spans;
  std::map<unsigned, std::vector<KeyFrame>> keyFrames;
  // Packets that read only once their length is mended as the writer mends
  // a stream's last packet (a muxer that was not stopped by the writer).
  std::map<std::uint64_t, Bytes> mended;

  bool Add(std::uint64_t number, std::span<const std::uint8_t> packet, const Header& h) {
    const auto payloads = net::AsfPacketReader::payloads(packet);
    if (!payloads || payloads->empty() ||
        !std::ranges::all_of(*payloads, [&](const auto& p) { return p.stream != 0 && h.streams.test(p.stream); }))
      return false;
    for (const net::AsfPayloadInfo& p : *payloads) {
      if (p.startsObject()) {
        Span& span = spans[p.stream];
        span.first = std::min(span.first, p.presentationTime);
        span.last = std::max(span.last, p.presentationTime);
        ++span.objects;
      }
      if (!h.video.test(p.stream) || !p.keyFrame) continue;
      auto& keys = keyFrames[p.stream];
      if (p.startsObject())
        keys.push_back({p.presentationTime, p.objectNumber, number, number});
      else if (!keys.empty() && keys.back().object == p.objectNumber)
        keys.back().lastPacket = number;
    }
    count = number + 1;
    return true;
  }

  // The presentation time at which the last stream ends, preroll included:
  // its last object's time plus its mean object length.
  std::uint64_t EndMs() const {
    std::uint64_t end = 0;
    for (const auto& [stream, span] : spans) {
      const std::uint64_t length = span.objects > 1 ? (span.last - span.first) / (span.objects - 1) : 0;
      end = std::max(end, span.last + length);
    }
    return end;
  }
  std::uint64_t VideoFrames(const Header& h) const {
    std::uint64_t frames = 0;
    for (const auto& [stream, span] : spans)
      if (h.video.test(stream)) frames += span.objects;
    return frames;
  }
  // The frames of the last second: what a packet cut at the end may take.
  std::uint64_t LastSecondFrames(const Header& h) const {
    std::uint64_t frames = 0;
    for (const auto& [stream, span] : spans)
      if (h.video.test(stream) && span.objects > 1)
        frames += (span.objects * 1000 + (span.last - span.first) - 1) / std::max(1u, span.last - span.first);
    return std::max<std::uint64_t>(frames, 1);
  }
};

std::optional<Packets> ScanPackets(int fd, const Header& h, std::uint64_t whole, const std::stop_token& stop) {
  Packets packets;
  Bytes chunk;
  for (std::uint64_t first = 0; first < whole; first += kPacketsPerRead) {
    if (stop.stop_requested()) return std::nullopt;
    const std::uint64_t n = std::min(kPacketsPerRead, whole - first);
    chunk.resize(n * h.packetSize);
    if (!ReadAt(fd, chunk.data(), chunk.size(), static_cast<off_t>(h.DataStart() + first * h.packetSize)))
      return std::nullopt;
    for (std::uint64_t i = 0; i < n; ++i) {
      const auto packet = std::span(chunk).subspan(i * h.packetSize, h.packetSize);
      if (packets.Add(first + i, packet, h) || !AsfPacketPadding::NeedsPadding(packet)) continue;
      Bytes mended(packet.begin(), packet.end());
      AsfPacketPadding::IncludePadding(mended);
      if (packets.Add(first + i, mended, h)) packets.mended.emplace(first + i, std::move(mended));
    }
  }
  return packets;
}

// A simple index of one video stream: for every second from 0 to its last
// frame (preroll included, as the packets' times are), the latest key frame
// at or before it, or the first one.
Bytes SimpleIndex(const Header& h, const Packets& packets, unsigned stream) {
  const auto& keys = packets.keyFrames.at(stream);
  const std::uint64_t entries = packets.spans.at(stream).last * kTicksPerMs / kIndexInterval + 1;
  Bytes index(kSimpleIndexHead + entries * kSimpleIndexEntry);
  std::copy(kSimpleIndexObject.begin(), kSimpleIndexObject.end(), index.begin());
  writeLE(index.data() + 16, 8, index.size());
  std::copy_n(h.FileProperties() + kFpFileId, 16, index.begin() + 24);
  writeLE(index.data() + 40, 8, kIndexInterval);
  writeLE(index.data() + 52, 4, entries);
  std::size_t key = 0;
  std::uint64_t maxPackets = 0;
  for (std::uint64_t i = 0; i < entries; ++i) {
    while (key + 1 < keys.size() && keys[key + 1].time * kTicksPerMs <= i * kIndexInterval) ++key;
    const std::uint64_t spanned = keys[key].lastPacket - keys[key].firstPacket + 1;
    maxPackets = std::max(maxPackets, spanned);
    std::uint8_t* entry = index.data() + kSimpleIndexHead + i * kSimpleIndexEntry;
    writeLE(entry, 4, keys[key].firstPacket);
    writeLE(entry + 4, 2, std::min<std::uint64_t>(spanned, 0xFFFF));
  }
  writeLE(index.data() + 48, 4, maxPackets);
  return index;
}

Bytes Indexes(const Header& h, const Packets& packets) {
  Bytes all;
  for (const auto& [stream, keys] : packets.keyFrames) {
    if (keys.empty()) continue;
    const Bytes index = SimpleIndex(h, packets, stream);
    all.insert(all.end(), index.begin(), index.end());
  }
  return all;
}

// The header as the writer's stop rewrite leaves it.
Bytes FinishedHeader(Header h, const Packets& packets, std::uint64_t indexSize) {
  const std::uint64_t dataSize = kDataObjectStart + packets.count * h.packetSize;
  const std::uint64_t endMs = packets.EndMs();
  std::uint8_t* fp = h.FileProperties();
  writeLE(fp + kFpFileSize, 8, h.dataObject + dataSize + indexSize);
  writeLE(fp + kFpPacketCount, 8, packets.count);
  writeLE(fp + kFpPlayDuration, 8, endMs * kTicksPerMs);
  writeLE(fp + kFpSendDuration, 8, (endMs - std::min(endMs, h.prerollMs)) * kTicksPerMs);
  const auto flags = static_cast<std::uint32_t>(readLE(fp + kFpFlags, 4));
  writeLE(fp + kFpFlags, 4, (flags & ~kBroadcastFlag) | kSeekableFlag);
  std::uint8_t* data = h.bytes.data() + h.dataObject;
  writeLE(data + kDataSize, 8, dataSize);
  writeLE(data + kDataPacketCount, 8, packets.count);
  return std::move(h.bytes);
}

// Copies `size` bytes from `at` in `in` to the end of `out`, in the kernel
// where it can.
bool CopyBytes(int in, std::uint64_t at, int out, std::uint64_t size, const std::stop_token& stop) {
  constexpr std::uint64_t kStep = 4 << 20;
  auto from = static_cast<off_t>(at);
  Bytes buffer;
  while (size > 0) {
    if (stop.stop_requested()) return false;
    const std::size_t step = std::min(size, kStep);
    ssize_t n = ::copy_file_range(in, &from, out, nullptr, step, 0);
    if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
      buffer.resize(step);
      if (!ReadAt(in, buffer.data(), step, from) || !WriteAll(out, buffer)) return false;
      n = static_cast<ssize_t>(step);
      from += n;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    size -= static_cast<std::uint64_t>(n);
  }
  return true;
}

std::string Seconds(std::int64_t ns) { return std::to_string(ns / 1'000'000'000) + "." + std::to_string(ns / 100'000'000 % 10) + " s"; }

// The finishing of one locked original, from its header to the rename.
class Finishing {
 public:
  Finishing(const std::string& path, int original, const struct stat& before, const std::stop_token& stop)
      : path_(path), temporary_(AsfRecordingFinisher::TemporaryName(path)), original_(original), before_(before),
        stop_(stop) {}
  ~Finishing() {
    if (written_ && !renamed_) ::unlink(temporary_.c_str());
  }

  Result Run() {
    // A sink creates its file before its first byte.
    if (before_.st_size == 0) return {Outcome::kNothingToDo, "empty"};
    std::string why;
    const auto header = ReadHeader(original_, static_cast<std::uint64_t>(before_.st_size), why);
    if (!header) return LeftAsItWas(why);
    if (!header->Unfinished()) return {Outcome::kNothingToDo, "finished already"};
    const std::uint64_t whole = (before_.st_size - header->DataStart()) / header->packetSize;
    const auto packets = ScanPackets(original_, *header, whole, stop_);
    if (!packets) return LeftAsItWas(stop_.stop_requested() ? "stopped" : SystemError("reading failed"));
    if (packets->count == 0) return LeftAsItWas("no whole packet recorded");
    if (packets->EndMs() <= header->prerollMs) return LeftAsItWas("the packets state no presentation times");
    if (!Write(*header, *packets, why)) return LeftAsItWas(why);
    if (!Check(*header, *packets, why)) return LeftAsItWas(why);
    if (!Replace(why)) return LeftAsItWas(why);
    const std::uint64_t cut = before_.st_size - header->DataStart() - packets->count * header->packetSize;
    return {Outcome::kFinished, std::to_string(packets->count) + " packets, " + Seconds(checked_.durationNs) + ", " +
                                    std::to_string(checked_.videoFrames) + " video frames" +
                                    (cut ? ", " + std::to_string(cut) + " bytes of a cut-off tail left out" : "")};
  }

 private:
  bool Write(const Header& header, const Packets& packets, std::string& why) {
    const UniqueFd out(::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!out) return Fail(why, SystemError("cannot create " + temporary_));
    written_ = true;
    const Bytes index = Indexes(header, packets);
    const struct timespec times[2] = {before_.st_atim, before_.st_mtim};
    if (!WriteAll(out.get(), FinishedHeader(header, packets, index.size())) ||
        !CopyBytes(original_, header.DataStart(), out.get(), packets.count * header.packetSize, stop_) ||
        !WriteMended(out.get(), header, packets) || !WriteAll(out.get(), index) || ::fchmod(out.get(), before_.st_mode & 07777) != 0 ||
        ::futimens(out.get(), times) != 0 || ::fsync(out.get()) != 0)
      return Fail(why, stop_.stop_requested() ? "stopped" : SystemError("writing " + temporary_ + " failed"));
    return true;
  }

  static bool WriteMended(int out, const Header& header, const Packets& packets) {
    for (const auto& [number, bytes] : packets.mended) {
      const auto at = static_cast<off_t>(header.DataStart() + number * header.packetSize);
      if (::pwrite(out, bytes.data(), bytes.size(), at) != static_cast<ssize_t>(bytes.size())) return false;
    }
    return true;
  }

  bool Check(const Header& header, const Packets& packets, std::string& why) {
    checked_ = AsfDemuxReading::Read(temporary_, stop_);
    if (!checked_.toTheEnd) return Fail(why, "the finished copy does not read to its end: " + checked_.problem);
    if (checked_.durationNs <= 0 || !checked_.seekable) return Fail(why, "the finished copy states no length or seeking");
    const AsfDemuxReading original = AsfDemuxReading::Read(path_, stop_);
    if (stop_.stop_requested()) return Fail(why, "stopped");
    if (checked_.videoFrames + packets.LastSecondFrames(header) < original.videoFrames)
      return Fail(why, "the finished copy holds " + std::to_string(checked_.videoFrames) + " video frames, the original " +
                           std::to_string(original.videoFrames));
    return true;
  }

  // Only the original as it was found is replaced, never a file that was
  // written to or put in its place meanwhile.
  bool Replace(std::string& why) {
    struct stat now{}, named{};
    if (::fstat(original_, &now) != 0 || ::stat(path_.c_str(), &named) != 0 || now.st_size != before_.st_size ||
        now.st_mtim.tv_sec != before_.st_mtim.tv_sec || now.st_mtim.tv_nsec != before_.st_mtim.tv_nsec ||
        named.st_ino != before_.st_ino || named.st_dev != before_.st_dev)
      return Fail(why, "the original changed while it was finished");
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) return Fail(why, SystemError("cannot replace the original"));
    renamed_ = true;
    const std::string folder = path_.substr(0, path_.rfind('/') + 1);
    const UniqueFd directory(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory) ::fsync(directory.get());
    return true;
  }

  const std::string& path_;
  const std::string temporary_;
  const int original_;
  const struct stat before_;
  const std::stop_token& stop_;
  AsfDemuxReading checked_;
  bool written_ = false;
  bool renamed_ = false;
};

}  // namespace

AsfRecordingFinisher::Result AsfRecordingFinisher::Finish(const std::string& path, std::stop_token stop) {
  const UniqueFd original(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!original) return LeftAsItWas(SystemError("cannot open it"));
  if (::flock(original.get(), LOCK_EX | LOCK_NB) != 0)
    return errno == EWOULDBLOCK ? Result{Outcome::kInUse, "in use by its writer"} : LeftAsItWas(SystemError("cannot lock it"));
  struct stat before{};
  if (::fstat(original.get(), &before) != 0) return LeftAsItWas(SystemError("cannot read its size"));
  return Finishing(path, original.get(), before, stop).Run();
}

}  // namespace media::gst
