#pragma once
#include <chrono>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "media/gst/AsfRecordingFinisher.h"

namespace app {

// Finishes, in a thread of its own, the recordings a crash or a power loss
// cut off in the channels' folders (AsfRecordingFinisher), one file after
// the other, and logs what it did with each file that needed it. A file
// being written is left alone; a finished one is not touched again.
//
// Created and destroyed on the user-interface thread; the work touches no
// user-interface object. Destruction stops the work between two steps
// (the file at hand left as it was) and waits for it.
class CutRecordings {
 public:
  using Finish = std::function<media::gst::AsfRecordingFinisher::Result(const std::string&, std::stop_token)>;

  // `pause` lets the program's own start go first.
  explicit CutRecordings(std::vector<std::string> folders, std::chrono::milliseconds pause = std::chrono::seconds(2),
                         Finish finish = &media::gst::AsfRecordingFinisher::Finish);
  ~CutRecordings();
  CutRecordings(const CutRecordings&) = delete;
  CutRecordings& operator=(const CutRecordings&) = delete;

  void Start();
  // The recordings of a folder, "*.asf", in name order.
  static std::vector<std::string> Recordings(const std::string& folder);

 private:
  void Run(std::stop_token stop) const;

  std::vector<std::string> folders_;
  std::chrono::milliseconds pause_;
  Finish finish_;
  std::jthread thread_;
};

}  // namespace app
