#pragma once
#include <mutex>
#include <string>

#include "media/framework/Graphs.h"

namespace media::gst {

// A graph's log of graph building (filters added and removed, connections
// tried with their formats, state changes, errors), one timestamped line per
// entry, written to a descriptor the caller owns and never closes here. Any
// thread: streaming threads log errors and state changes.
class GstGraphLog {
 public:
  // 0 stops logging.
  void SetFile(LogFileHandle file);
  bool IsOn() const;
  void Write(const std::string& line);

 private:
  mutable std::mutex mutex_;
  LogFileHandle file_ = 0;
};

}  // namespace media::gst
