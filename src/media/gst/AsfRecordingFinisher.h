#pragma once
#include <stop_token>
#include <string>

namespace media::gst {

// Finishes a recording whose writer was cut off (a crash, a kill, a power
// loss) before the stop rewrite: the header still states no file size, no
// packet count and no durations, and there is no index, so players show no
// length and cannot seek.
//
// The finished copy has the original's header, bytes and packets with
// those fields filled in, ends at the last whole packet, and gets a simple
// index per video stream. It is written beside the original
// (TemporaryName), read back with GStreamer's ASF demuxer, and replaces the
// original only when it reads to its end with as many video frames as the
// original (give or take the last second's) and a length and seeking the
// original lacks. Anything else leaves the original as it was.
//
// A file another process holds an advisory lock (flock) on is being
// written and is left alone; the original is held locked while it is
// finished, so two programs never finish the same file. Any thread; no
// state.
class AsfRecordingFinisher {
 public:
  enum class Outcome {
    kFinished,
    kNothingToDo,      // a recording finished cleanly, or an empty file
    kInUse,            // locked by its writer or another finisher
    kLeftAsItWas,      // could not be finished; `detail` says why
  };
  struct Result {
    Outcome outcome;
    std::string detail;
  };

  // `stop` ends the work early (the original left as it was).
  static Result Finish(const std::string& path, std::stop_token stop = {});
  static std::string TemporaryName(const std::string& path) { return path + ".finishing"; }
};

}  // namespace media::gst
