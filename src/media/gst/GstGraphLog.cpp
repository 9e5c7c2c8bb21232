#include "media/gst/GstGraphLog.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace media::gst {
namespace {

std::string Timestamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(ms));
  return text;
}

}  // namespace

void GstGraphLog::SetFile(LogFileHandle file) {
  std::lock_guard lock(mutex_);
  file_ = file;
}

bool GstGraphLog::IsOn() const {
  std::lock_guard lock(mutex_);
  return file_ != 0;
}

void GstGraphLog::Write(const std::string& line) {
  std::lock_guard lock(mutex_);
  if (file_ == 0) return;
  const std::string text = Timestamp() + " " + line + "\n";
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(static_cast<int>(file_), text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // a full disk or closed descriptor ends this entry, never the graph
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace media::gst
