#include "media/gst/net/PacketRing.h"

#include <algorithm>
#include <limits>

namespace media::net {

void PacketRing::push(PacketBytes bytes, bool startsKeyFrame) {
  const std::size_t size = bytes ? bytes->size() : 0;
  packets_.push_back({nextSeq_++, startsKeyFrame, std::move(bytes), streamBytes_});
  streamBytes_ += size;
  held_ += size;
  while (held_ > budget_ && packets_.size() > 1) {
    held_ -= packets_.front().bytes ? packets_.front().bytes->size() : 0;
    packets_.pop_front();
  }
}

void PacketRing::clear() {
  packets_.clear();
  held_ = 0;
}

const RingPacket* PacketRing::find(std::uint64_t seq) const {
  if (seq < beginSeq() || seq >= nextSeq_) return nullptr;
  return &packets_[seq - beginSeq()];
}

std::uint64_t PacketRing::lagBytes(std::uint64_t seq) const {
  if (seq >= nextSeq_) return 0;
  const RingPacket* p = find(seq);
  return p ? streamBytes_ - p->streamOffset : std::numeric_limits<std::uint64_t>::max();
}

std::optional<std::uint64_t> PacketRing::keyFrameFrom(std::uint64_t seq, std::uint64_t maxLag) const {
  for (std::uint64_t s = std::max(seq, beginSeq()); s < nextSeq_; ++s) {
    const RingPacket& p = packets_[s - beginSeq()];
    if (p.startsKeyFrame && streamBytes_ - p.streamOffset <= maxLag) return s;
  }
  return std::nullopt;
}

std::optional<std::uint64_t> PacketRing::newestKeyFrame() const {
  for (auto it = packets_.rbegin(); it != packets_.rend(); ++it)
    if (it->startsKeyFrame) return it->seq;
  return std::nullopt;
}

}  // namespace media::net
