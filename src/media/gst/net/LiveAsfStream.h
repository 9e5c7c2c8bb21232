#pragma once
// The live ASF stream one server hands out: the broadcast header and the
// recent packets, with their send times rebased to start at zero.
//
// Threading: one feeding thread (the muxer's streaming thread) calls
// setHeader/pushPacket/endOfStream; any number of reader threads call join,
// header and read. Every call takes one short internal lock and never waits
// on a client.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "media/gst/net/AsfHeader.h"
#include "media/gst/net/AsfPacketReader.h"
#include "media/gst/net/PacketRing.h"
#include "media/gst/net/SendTimeRebaser.h"

namespace media::net {

struct LiveStreamLimits {
  // Packets kept for joining and lagging clients. A packet further back than
  // maxLagBytes is never read, so keeping more only costs memory: at the
  // program's 56 kbit/s the ring fills in about two and a half minutes.
  std::size_t ringBytes = 1u << 20;
  std::uint64_t maxLagBytes = 1u << 20;  // a reader further behind skips to a newer key frame
};

// A reader's place in the stream. A new stream (a different header) gets a
// new generation; cursors of the old one then read Replaced.
struct StreamCursor {
  std::uint64_t generation = 0;
  std::uint64_t next = 0;
  bool waitingForKeyFrame = true;
};

// What a new reader gets: the header to send first (nullptr before the first
// header) and where its packets start.
struct StreamJoin {
  std::shared_ptr<const AsfHeader> header;
  StreamCursor cursor;
  bool ended = false;
};

struct StreamRead {
  enum class Status {
    Live,      // packets (maybe none yet) of the current stream
    Ended,     // the stream ended and the cursor has read all of it
    Replaced,  // the cursor belongs to a stream that is no longer served
  };
  Status status = Status::Live;
  std::vector<RingPacket> packets;
};

class LiveAsfStream {
 public:
  explicit LiveAsfStream(LiveStreamLimits limits = {});

  // false, keeping the current stream, when bytes are no valid streamable
  // header. A header that differs from the current one, or any header after
  // endOfStream, starts a new stream; the same header again changes nothing.
  bool setHeader(std::span<const std::uint8_t> bytes);
  // One whole packet of the header's packet size. false (the packet is
  // dropped) before a header, for another size, or when it cannot be read.
  bool pushPacket(std::span<const std::uint8_t> packet);
  void endOfStream();

  // nullptr before the first header.
  std::shared_ptr<const AsfHeader> header() const;
  bool ended() const;
  // A new reader starts at the packet holding the start of the newest key
  // frame, or at the next one to arrive.
  StreamJoin join() const;
  // Packets from the cursor on, up to about maxBytes (at least one packet when
  // one is available). A cursor behind the held packets, or lagging by more
  // than maxLagBytes, moves on to the first key frame within reach, or waits
  // for the next one.
  StreamRead read(StreamCursor& cursor, std::size_t maxBytes) const;

 private:
  bool advanceToKeyFrame(StreamCursor& cursor) const;

  const LiveStreamLimits limits_;
  mutable std::mutex mutex_;
  std::shared_ptr<const AsfHeader> header_;
  std::optional<AsfPacketReader> reader_;
  PacketRing ring_;
  SendTimeRebaser rebaser_;
  std::uint64_t generation_ = 0;
  bool ended_ = false;
};

}  // namespace media::net
