#include "media/gst/net/LiveAsfStream.h"

#include <algorithm>

namespace media::net {

LiveAsfStream::LiveAsfStream(LiveStreamLimits limits) : limits_(limits), ring_(limits.ringBytes) {}

bool LiveAsfStream::setHeader(std::span<const std::uint8_t> bytes) {
  auto parsed = AsfHeader::parse(bytes);
  if (!parsed) return false;
  std::lock_guard lock(mutex_);
  if (header_ && !ended_ && header_->bytes() == parsed->bytes()) return true;
  reader_.emplace(parsed->entryStreams());
  header_ = std::make_shared<const AsfHeader>(std::move(*parsed));
  ring_.clear();
  rebaser_.reset();
  ++generation_;
  ended_ = false;
  return true;
}

bool LiveAsfStream::pushPacket(std::span<const std::uint8_t> packet) {
  std::lock_guard lock(mutex_);
  if (!header_ || ended_ || packet.size() != header_->packetSize()) return false;
  const auto info = reader_->read(packet);
  if (!info) return false;
  auto bytes = std::make_shared<std::vector<std::uint8_t>>(packet.begin(), packet.end());
  AsfPacketReader::setSendTime(*bytes, *info, rebaser_.map(info->sendTime));
  ring_.push(std::move(bytes), info->startsKeyFrame);
  return true;
}

void LiveAsfStream::endOfStream() {
  std::lock_guard lock(mutex_);
  ended_ = true;
}

std::shared_ptr<const AsfHeader> LiveAsfStream::header() const {
  std::lock_guard lock(mutex_);
  return header_;
}

bool LiveAsfStream::ended() const {
  std::lock_guard lock(mutex_);
  return ended_;
}

StreamJoin LiveAsfStream::join() const {
  std::lock_guard lock(mutex_);
  const auto key = ring_.newestKeyFrame();
  return {header_, {generation_, key.value_or(ring_.endSeq()), !key.has_value()}, ended_};
}

StreamRead LiveAsfStream::read(StreamCursor& cursor, std::size_t maxBytes) const {
  std::lock_guard lock(mutex_);
  StreamRead result;
  if (cursor.generation != generation_) {
    result.status = StreamRead::Status::Replaced;
    return result;
  }
  std::size_t taken = 0;
  while (taken < maxBytes) {
    if (cursor.waitingForKeyFrame && !advanceToKeyFrame(cursor)) break;
    const RingPacket* packet = ring_.find(cursor.next);
    if (!packet) {
      if (cursor.next >= ring_.beginSeq()) break;  // caught up with the newest
      cursor.waitingForKeyFrame = true;             // its packets were dropped
      continue;
    }
    if (ring_.lagBytes(cursor.next) > limits_.maxLagBytes) {
      cursor.waitingForKeyFrame = true;
      continue;
    }
    result.packets.push_back(*packet);
    taken += packet->bytes->size();
    ++cursor.next;
  }
  if (result.packets.empty() && ended_) result.status = StreamRead::Status::Ended;
  return result;
}

// Moves a waiting cursor to the first key frame within reach; false (the
// cursor then waits at the newest end) when none is held.
bool LiveAsfStream::advanceToKeyFrame(StreamCursor& cursor) const {
  const auto key = ring_.keyFrameFrom(cursor.next, limits_.maxLagBytes);
  if (!key) {
    cursor.next = std::max(cursor.next, ring_.endSeq());
    return false;
  }
  cursor.next = *key;
  cursor.waitingForKeyFrame = false;
  return true;
}

}  // namespace media::net
