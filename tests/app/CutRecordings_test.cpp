#include "app/CutRecordings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "support/TempDir.h"

namespace {

using namespace std::chrono_literals;
using app::CutRecordings;
using Result = media::gst::AsfRecordingFinisher::Result;
using Outcome = media::gst::AsfRecordingFinisher::Outcome;

// The files handed to the finishing, in order, and from which thread.
struct FinishLog {
  std::mutex mutex;
  std::vector<std::string> files;
  std::thread::id thread;
  std::atomic<int> calls{0};

  CutRecordings::Finish Fake() {
    return [this](const std::string& file, std::stop_token) {
      const std::lock_guard guard(mutex);
      files.push_back(file);
      thread = std::this_thread::get_id();
      ++calls;
      return Result{Outcome::kFinished, "fake"};
    };
  }
};

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); ++i) std::this_thread::sleep_for(10ms);
  return done();
}

TEST(CutRecordings, OffersEveryRecordingOfEachFolderInOrderOnAThreadOfItsOwn) {
  TempDir dir;
  QDir().mkpath(QString::fromStdString(dir.File("#1")));
  QDir().mkpath(QString::fromStdString(dir.File("#2")));
  for (const char* name : {"#1/b.asf", "#1/a.asf", "#1/a.asf.finishing", "#1/notes.txt", "#2/c.asf"})
    dir.Write(name, "x");
  FinishLog log;
  CutRecordings recordings({dir.File("#1/"), dir.File("#2/"), dir.File("#3/")}, 0ms, log.Fake());
  recordings.Start();
  ASSERT_TRUE(WaitFor([&] { return log.calls == 3; }));
  const std::lock_guard guard(log.mutex);
  EXPECT_EQ(log.files, (std::vector<std::string>{dir.File("#1/a.asf"), dir.File("#1/b.asf"), dir.File("#2/c.asf")}));
  EXPECT_NE(log.thread, std::this_thread::get_id());
}

TEST(CutRecordings, EndingTheProgramDuringThePauseFinishesNothingAndDoesNotWait) {
  TempDir dir;
  dir.Write("a.asf", "x");
  FinishLog log;
  const auto started = std::chrono::steady_clock::now();
  {
    CutRecordings recordings({dir.Path()}, 1h, log.Fake());
    recordings.Start();
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
  EXPECT_EQ(log.calls, 0);
}

}  // namespace
