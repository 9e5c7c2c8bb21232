#pragma once
// The recent data packets of a live stream, kept for clients that join or
// lag behind. Memory is bounded by a byte budget: the oldest packets go first.
// Packets are numbered from 0 for the whole broadcast (clear() keeps counting).
// Not thread-safe: its owner serialises access.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace media::net {

using PacketBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

struct RingPacket {
  std::uint64_t seq = 0;
  bool startsKeyFrame = false;
  PacketBytes bytes;
  std::uint64_t streamOffset = 0;  // bytes of all packets pushed before this one
};

class PacketRing {
 public:
  explicit PacketRing(std::size_t byteBudget) : budget_(byteBudget) {}

  // Appends; then drops the oldest packets while more than the budget is held
  // (the newest packet always stays).
  void push(PacketBytes bytes, bool startsKeyFrame);
  void clear();

  std::uint64_t beginSeq() const { return nextSeq_ - packets_.size(); }
  std::uint64_t endSeq() const { return nextSeq_; }
  std::size_t heldBytes() const { return held_; }
  // nullptr when seq has been dropped or not yet pushed.
  const RingPacket* find(std::uint64_t seq) const;
  // Bytes from the start of packet seq to the newest packet's end; a dropped
  // seq counts as lagging by more than anything held.
  std::uint64_t lagBytes(std::uint64_t seq) const;
  // The first held key-frame packet at or after seq that lags by at most
  // maxLag bytes.
  std::optional<std::uint64_t> keyFrameFrom(std::uint64_t seq, std::uint64_t maxLag) const;
  std::optional<std::uint64_t> newestKeyFrame() const;

 private:
  std::size_t budget_;
  std::deque<RingPacket> packets_;
  std::uint64_t nextSeq_ = 0;
  std::uint64_t streamBytes_ = 0;
  std::size_t held_ = 0;
};

}  // namespace media::net
