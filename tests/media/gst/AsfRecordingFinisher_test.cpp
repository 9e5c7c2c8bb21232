#include "media/gst/AsfRecordingFinisher.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstring>
#include <memory>

#include "media/gst/AsfDemuxReading.h"
#include "media/gst/GstTestKit.h"
#include "media/gst/MediaProbe.h"

namespace {

using namespace std::chrono_literals;
using media::gst::AsfDemuxReading;
using media::gst::AsfRecordingFinisher;
using Outcome = AsfRecordingFinisher::Outcome;

constexpr double kFramesPerSecond = 15;  // the recording profile's

QByteArray ReadAll(const std::string& path) {
  QFile file(QString::fromStdString(path));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const std::string& path, const QByteArray& bytes) {
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

bool Exists(const std::string& path) { return QFile::exists(QString::fromStdString(path)); }

std::uint64_t HeaderObjectSize(const QByteArray& bytes) {
  std::uint64_t size = 0;
  if (bytes.size() >= 24) std::memcpy(&size, bytes.constData() + 16, sizeof size);
  return size;
}

// One recording cut off by kill -9 in the middle of its writing, made once
// for the suite by the writer's own test child, and what the finisher said
// of it while the writer was still at work.
class AsfRecordingFinisherTest : public gsttest::BackendTest {
 protected:
  static void SetUpTestSuite() {
    folder = std::make_unique<QTemporaryDir>();
    killed = QDir(folder->path()).filePath("killed.asf").toStdString();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUADROVIA_RECORD_UNTIL_KILLED", QString::fromStdString(killed));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=GstAsfWriterTest.RecordUntilKilled"});
    if (!child.waitForStarted(5000)) return;
    gsttest::WaitUntil([&] { return child.readAllStandardOutput().contains("recording") ||
                                    child.state() == QProcess::NotRunning; }, 15s);
    gsttest::WaitUntil([&] { return QFileInfo(QString::fromStdString(killed)).size() > 20000; }, 10s);
    gsttest::ProcessEvents(4s);
    whileRecording = AsfRecordingFinisher::Finish(killed).outcome;
    child.kill();
    child.waitForFinished(5000);
  }
  static void TearDownTestSuite() { folder.reset(); }

  void SetUp() override {
    BackendTest::SetUp();
    original = ReadAll(killed);
    ASSERT_GT(HeaderObjectSize(original), 0u) << "no cut-off recording was made";
  }

  std::string Path(const std::string& name) const { return QDir(dir.path()).filePath(QString::fromStdString(name)).toStdString(); }

  static inline std::unique_ptr<QTemporaryDir> folder;
  static inline std::string killed;
  static inline Outcome whileRecording = Outcome::kFinished;
  QByteArray original;
  QTemporaryDir dir;
};

struct CutRow {
  const char* name;
  // What became of the recording's end.
  QByteArray (*cut)(const QByteArray& recorded);
  double lostSeconds;  // of video at most
};

const CutRow kCuts[] = {
    {"AsKilled", [](const QByteArray& r) { return r; }, 0},
    // A power loss in the middle of a packet, at an odd size.
    {"InTheMiddleOfAPacket", [](const QByteArray& r) { return r.left((r.size() * 2 / 3) | 1); }, 1},
    // Blocks the file system had given the file but never filled.
    {"ZerosAfterTheLastPacket", [](const QByteArray& r) { return r + QByteArray(3 * 1600 + 517, '\0'); }, 0},
};

class AsfRecordingFinisherCuts : public AsfRecordingFinisherTest, public ::testing::WithParamInterface<CutRow> {};

TEST_P(AsfRecordingFinisherCuts, PlayersThenShowTheLengthSeekAndDecodeEveryFrame) {
  const std::string file = Path("录像 [1].asf");
  WriteAll(file, GetParam().cut(original));
  const auto before = gsttest::DecodeVideo(file);
  ASSERT_GT(before.frames, 0) << before.problems;

  const auto result = AsfRecordingFinisher::Finish(file);
  ASSERT_EQ(result.outcome, Outcome::kFinished) << result.detail;
  EXPECT_FALSE(Exists(AsfRecordingFinisher::TemporaryName(file)));

  const auto after = gsttest::DecodeVideo(file);
  EXPECT_TRUE(after.ok) << after.problems;
  EXPECT_GE(after.frames, before.frames - GetParam().lostSeconds * kFramesPerSecond);
  EXPECT_LE(after.frames, before.frames);
  EXPECT_NEAR(gsttest::ProbeMedia(file).duration, after.frames / kFramesPerSecond, 1.5);
  const auto reading = AsfDemuxReading::Read(file);
  EXPECT_TRUE(reading.toTheEnd) << reading.problem;
  EXPECT_TRUE(reading.seekable);
  EXPECT_NEAR(reading.durationNs / 1e9, after.frames / kFramesPerSecond, 1.5);

  // Finished once is finished: a second start leaves the bytes alone.
  const QByteArray finished = ReadAll(file);
  EXPECT_EQ(AsfRecordingFinisher::Finish(file).outcome, Outcome::kNothingToDo);
  EXPECT_EQ(ReadAll(file), finished);
}

INSTANTIATE_TEST_SUITE_P(Recordings, AsfRecordingFinisherCuts, ::testing::ValuesIn(kCuts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AsfRecordingFinisherTest, KeepsEveryPacketByteForByteAndOnlyChangesTheHeaderAndAddsTheIndex) {
  const std::string file = Path("packets.asf");
  WriteAll(file, original);
  ASSERT_EQ(AsfRecordingFinisher::Finish(file).outcome, Outcome::kFinished);
  const QByteArray finished = ReadAll(file);
  const auto dataStart = static_cast<qsizetype>(HeaderObjectSize(original) + 50);
  ASSERT_EQ(HeaderObjectSize(finished), HeaderObjectSize(original));
  ASSERT_GT(finished.size(), original.size());
  EXPECT_TRUE(finished.mid(dataStart, original.size() - dataStart) == original.mid(dataStart));
}

TEST_F(AsfRecordingFinisherTest, AnEmptyFileAsItsSinkCreatesItIsLeftQuietly) {
  const std::string file = Path("new.asf");
  WriteAll(file, {});
  EXPECT_EQ(AsfRecordingFinisher::Finish(file).outcome, Outcome::kNothingToDo);
  EXPECT_EQ(QFileInfo(QString::fromStdString(file)).size(), 0);
}

TEST_F(AsfRecordingFinisherTest, AFileItsWriterOrAnotherProcessHoldsLockedIsLeftAlone) {
  EXPECT_EQ(whileRecording, Outcome::kInUse) << "while the writer was recording";

  const std::string file = Path("held.asf");
  WriteAll(file, original);
  // flock locks belong to the open file: another descriptor is as good as
  // another process.
  const int held = ::open(file.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  EXPECT_EQ(AsfRecordingFinisher::Finish(file).outcome, Outcome::kInUse);
  EXPECT_EQ(ReadAll(file), original);
  ::close(held);
  EXPECT_EQ(AsfRecordingFinisher::Finish(file).outcome, Outcome::kFinished);
}

struct UnfinishableRow {
  const char* name;
  QByteArray (*bytes)(const QByteArray& recorded);
  bool stopped = false;
};

const UnfinishableRow kUnfinishable[] = {
    {"NoAsfFile", [](const QByteArray&) { return QByteArray(4096, 'x'); }},
    {"HeaderWithoutAPacket", [](const QByteArray& r) { return r.left(HeaderObjectSize(r) + 50 + 1599); }},
    {"HeaderCutOff", [](const QByteArray& r) { return r.left(HeaderObjectSize(r) - 7); }},
    {"ProgramEndingMeanwhile", [](const QByteArray& r) { return r; }, true},
};

class AsfRecordingFinisherUnfinishable : public AsfRecordingFinisherTest,
                                         public ::testing::WithParamInterface<UnfinishableRow> {};

TEST_P(AsfRecordingFinisherUnfinishable, LeavesTheOriginalAsItWasWithAReason) {
  const std::string file = Path("left.asf");
  const QByteArray bytes = GetParam().bytes(original);
  WriteAll(file, bytes);
  std::stop_source stop;
  if (GetParam().stopped) stop.request_stop();
  const auto result = AsfRecordingFinisher::Finish(file, stop.get_token());
  EXPECT_EQ(result.outcome, Outcome::kLeftAsItWas);
  EXPECT_FALSE(result.detail.empty());
  EXPECT_EQ(ReadAll(file), bytes);
  EXPECT_FALSE(Exists(AsfRecordingFinisher::TemporaryName(file)));
}

INSTANTIATE_TEST_SUITE_P(Files, AsfRecordingFinisherUnfinishable, ::testing::ValuesIn(kUnfinishable),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
