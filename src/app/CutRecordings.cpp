#include "app/CutRecordings.h"

#include "app/AppLog.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QDir>
#include <QtGlobal>
#include <condition_variable>
#include <mutex>

namespace app {

using Outcome = media::gst::AsfRecordingFinisher::Outcome;

CutRecordings::CutRecordings(std::vector<std::string> folders, std::chrono::milliseconds pause, Finish finish)
    : folders_(std::move(folders)), pause_(pause), finish_(std::move(finish)) {}

CutRecordings::~CutRecordings() {
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
}

void CutRecordings::Start() {
  if (!thread_.joinable()) thread_ = std::jthread([this](std::stop_token stop) { Run(std::move(stop)); });
}

std::vector<std::string> CutRecordings::Recordings(const std::string& folder) {
  std::vector<std::string> files;
  const QDir dir(QString::fromStdString(folder));
  for (const QString& name : dir.entryList({QStringLiteral("*.asf")}, QDir::Files, QDir::Name))
    files.push_back(dir.filePath(name).toStdString());
  return files;
}

void CutRecordings::Run(std::stop_token stop) const {
  // Below the cameras and the window: this work can wait, they cannot.
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
  std::mutex mutex;
  std::condition_variable_any wake;
  std::unique_lock lock(mutex);
  wake.wait_for(lock, stop, pause_, [] { return false; });
  for (const std::string& folder : folders_)
    for (const std::string& file : Recordings(folder)) {
      if (stop.stop_requested()) return;
      const auto result = finish_(file, stop);
      switch (result.outcome) {
        case Outcome::kFinished:
          qInfo("Finished the cut-off recording %s: %s", file.c_str(), result.detail.c_str());
          break;
        case Outcome::kInUse: qInfo("Left the recording %s alone: %s", file.c_str(), result.detail.c_str()); break;
        case Outcome::kLeftAsItWas:
          qCWarning(lcApp, "Could not finish the recording %s, left as it was: %s", file.c_str(), result.detail.c_str());
          break;
        case Outcome::kNothingToDo: break;
      }
    }
}

}  // namespace app
