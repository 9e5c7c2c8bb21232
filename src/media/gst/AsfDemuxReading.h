#pragma once
#include <cstdint>
#include <stop_token>
#include <string>

namespace media::gst {

// What GStreamer's own ASF demuxer makes of a file, read as fast as it
// goes, nothing decoded: whether it reads to the end, the video frames it
// hands out, and the length and seekability it reports before playing.
// Any thread; the pipeline is its own and lives only for the call.
struct AsfDemuxReading {
  bool toTheEnd = false;  // the end of the stream came, no error before it
  std::uint64_t videoFrames = 0;
  std::int64_t durationNs = -1;  // -1 when the demuxer states none
  bool seekable = false;
  std::string problem;  // the error, when there was one

  // Gives up (problem set) when `stop` is requested or after `limitSeconds`.
  static AsfDemuxReading Read(const std::string& path, std::stop_token stop = {}, int limitSeconds = 600);
};

}  // namespace media::gst
