#pragma once
// What ffprobe and ffmpeg make of a recording or a live stream, for tests
// that check files and network streams as players see them.
#include <string>
#include <vector>

namespace gsttest {

struct ProbedStream {
  std::string type;  // "video", "audio"
  std::string codec;
  int width = 0;
  int height = 0;
  double framesPerSecond = 0;
};

struct ProbedMedia {
  bool ok = false;  // ffprobe read it
  std::string format;
  double duration = 0;  // seconds; 0 when not stated
  double bitsPerSecond = 0;
  std::vector<ProbedStream> streams;
};

// ffprobe's view of a file or URL; gives up after `timeoutMs`.
ProbedMedia ProbeMedia(const std::string& url, int timeoutMs = 10000);

struct DecodedMedia {
  bool ok = false;        // ffmpeg decoded without an error
  int frames = 0;         // video frames decoded
  double lastFrame = -1;  // presentation time of the last one, seconds
  std::string problems;   // ffmpeg's error and warning lines
};

// Decodes the video of a file or URL with ffmpeg, at most `maxFrames`
// frames (0: all of it). A URL's stream may begin with the tail of a frame
// before its first key frame; that alone is no failure.
DecodedMedia DecodeVideo(const std::string& url, int maxFrames = 0, int timeoutMs = 15000);

}  // namespace gsttest
