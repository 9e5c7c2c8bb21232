#include "media/gst/GstAsfWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <span>
#include <cstdlib>

#include "media/framework/Devices.h"
#include "media/framework/EventCodes.h"
#include "media/framework/FileResults.h"
#include "media/framework/Identifiers.h"
#include "media/framework/WMProfiles.h"
#include "media/gst/GstCaptureGraphBuilder.h"
#include "media/gst/GstDeviceEnumerator.h"
#include "media/gst/GstTestKit.h"
#include "media/gst/MediaProbe.h"
#include "media/gst/NetworkSinkAdapter.h"
#include "media/gst/net/AsfHeader.h"
#include "media/gst/net/AsfPacketReader.h"
#include "platform/OutputFile.h"

namespace {

using namespace media;
using namespace media::gst;
using namespace std::chrono_literals;

constexpr std::size_t kVideoOnly56 = 23;

// A synthetic camera in a graph with a capture builder, and a folder for
// the recordings.
class GstAsfWriterTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    cameras.Write("Yard\nGate\n");
    builder = std::make_shared<GstCaptureGraphBuilder>();
    ASSERT_EQ(builder->SetFiltergraph(graph), S_OK);
    camera = Camera(u"Yard");
    ASSERT_TRUE(camera);
    graph->AddFilter(camera, u"Filter1");
  }

  BaseFilterPtr Camera(const std::u16string& name) {
    GstDeviceEnumerator enumerator;
    std::shared_ptr<IEnumMoniker> monikers;
    if (enumerator.CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers, 0) != S_OK) return nullptr;
    std::vector<MonikerPtr> all;
    monikers->Next(64, all);
    for (const auto& moniker : all) {
      UnknownPtr filter;
      if (moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter) != S_OK) continue;
      if (Name(filter).find(name) != std::u16string::npos) return Query<IBaseFilter>(filter);
    }
    return nullptr;
  }
  static std::u16string Name(const UnknownPtr& filter) {
    const auto gst = std::dynamic_pointer_cast<GstFilter>(Query<IBaseFilter>(filter));
    return gst ? gst->DefaultName() : u"";
  }

  std::shared_ptr<GstAsfWriter> Writer(std::size_t profile, const std::string& file) {
    auto writer = GstAsfWriter::Make();
    EXPECT_TRUE(writer);
    EXPECT_EQ(writer->ConfigureFilterUsingProfileGuid(kWMProfiles[profile]), S_OK);
    EXPECT_EQ(writer->SetFileName(QString::fromStdString(Path(file)).toStdU16String(), nullptr), S_OK);
    return writer;
  }
  std::string Path(const std::string& file) const { return QDir(dir.path()).filePath(QString::fromStdString(file)).toStdString(); }

  // Records for about `time`; the seconds between the run and the stop.
  double Record(std::chrono::milliseconds time) {
    QElapsedTimer timer;
    EXPECT_TRUE(SUCCEEDED(graph->Run()));
    timer.start();
    gsttest::ProcessEvents(time);
    EXPECT_EQ(graph->Stop(), S_OK);
    return timer.elapsed() / 1000.0;
  }

  gsttest::CameraFile cameras;
  QTemporaryDir dir;
  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();
  std::shared_ptr<GstCaptureGraphBuilder> builder;
  BaseFilterPtr camera;
};

// The bytes of a recording, with what a player relies on found in them.
struct RecordedFile {
  explicit RecordedFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
  }
  std::span<const std::uint8_t> Span() const {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
  }
  // The send time of the first data packet, in milliseconds.
  std::optional<std::uint32_t> FirstSendTime() const {
    const auto header = net::AsfHeader::parse(Span());
    if (!header || bytes.size() < 24) return std::nullopt;
    std::uint64_t headerSize = 0;
    std::memcpy(&headerSize, bytes.constData() + 16, sizeof headerSize);
    const std::size_t first = headerSize + net::AsfHeader::kDataObjectStart;
    if (first + header->packetSize() > Span().size()) return std::nullopt;
    const auto packet = net::AsfPacketReader(header->entryStreams()).read(Span().subspan(first, header->packetSize()));
    return packet ? std::optional(packet->sendTime) : std::nullopt;
  }
  bool HasSimpleIndex() const {
    static const char kSimpleIndex[] = "\x90\x08\x00\x33\xB1\xE5\xCF\x11\x89\xF4\x00\xA0\xC9\x03\x49\xCB";
    return bytes.contains(QByteArray(kSimpleIndex, 16));
  }

  QByteArray bytes;
};

TEST_F(GstAsfWriterTest, RecordsTheVideoOnlyProfileWithItsPictureAndTrueDuration) {
  // An earlier file of that name is kept: the recording takes the next free
  // numbered name, which the writer reports.
  QFile old(QString::fromStdString(Path("录像 [1].asf")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write(QByteArray(200'000, 'x'));
  old.close();
  const auto writer = Writer(kVideoOnly56, "录像 [1].asf");
  graph->AddFilter(writer, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  const double recorded = Record(5s);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray(200'000, 'x'));
  std::u16string current;
  ASSERT_EQ(writer->GetCurFile(current, nullptr), S_OK);
  EXPECT_EQ(current, QString::fromStdString(Path("录像 [1] (2).asf")).toStdU16String());

  const auto media = gsttest::ProbeMedia(Path("录像 [1] (2).asf"));
  ASSERT_TRUE(media.ok);
  EXPECT_EQ(media.format, "asf");
  ASSERT_EQ(media.streams.size(), 1u);
  EXPECT_EQ(media.streams[0].type, "video");
  EXPECT_EQ(media.streams[0].codec, "wmv2");
  EXPECT_EQ(media.streams[0].width, 320);
  EXPECT_EQ(media.streams[0].height, 240);
  EXPECT_DOUBLE_EQ(media.streams[0].framesPerSecond, 15);
  EXPECT_NEAR(media.duration, recorded, 0.5);
  const auto decoded = gsttest::DecodeVideo(Path("录像 [1] (2).asf"));
  EXPECT_TRUE(decoded.ok) << decoded.problems;
  EXPECT_NEAR(decoded.lastFrame, recorded, 0.5);

  // The encoder's own times start 1000 hours in; the file's start at zero.
  const RecordedFile file(Path("录像 [1] (2).asf"));
  ASSERT_TRUE(file.FirstSendTime());
  EXPECT_LT(*file.FirstSendTime(), 1000u);
  EXPECT_TRUE(file.HasSimpleIndex());
}

TEST_F(GstAsfWriterTest, WhileRecordingPlainAndFramedHttpClientsDecodeTheStream) {
  const auto writer = Writer(kVideoOnly56, "live.asf");
  const auto sink = std::make_shared<NetworkSinkAdapter>();
  sink->SetMaximumClients(4);
  DWORD port = 0;
  ASSERT_EQ(sink->Open(port), S_OK);
  ASSERT_EQ(writer->AddSink(sink), S_OK);
  graph->AddFilter(writer, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  gsttest::ProcessEvents(1500ms);

  for (const char* scheme : {"http", "mmsh"}) {
    const std::string url = std::string(scheme) + "://127.0.0.1:" + std::to_string(port) + "/";
    const auto probed = gsttest::ProbeMedia(url);
    EXPECT_TRUE(probed.ok) << url;
    ASSERT_EQ(probed.streams.size(), 1u) << url;
    EXPECT_EQ(probed.streams[0].codec, "wmv2") << url;
    const auto decoded = gsttest::DecodeVideo(url, 20, 10000);
    EXPECT_TRUE(decoded.ok) << url << "\n" << decoded.problems;
    EXPECT_EQ(decoded.frames, 20) << url;
  }
  EXPECT_EQ(graph->Stop(), S_OK);
  const auto file = gsttest::DecodeVideo(Path("live.asf"));
  EXPECT_TRUE(file.ok) << file.problems;
}

// Two writers of one name, run together and again: each run takes a file of
// its own, none is replaced.
TEST_F(GstAsfWriterTest, WritersOfOneNameNeverShareOrReplaceAFile) {
  const auto first = Writer(kVideoOnly56, "same.asf");
  graph->AddFilter(first, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, first), S_OK);
  const auto other = gsttest::NewGraph();
  const auto otherBuilder = std::make_shared<GstCaptureGraphBuilder>();
  ASSERT_EQ(otherBuilder->SetFiltergraph(other), S_OK);
  const BaseFilterPtr gate = Camera(u"Gate");
  ASSERT_TRUE(gate);
  other->AddFilter(gate, u"Filter2");
  const auto second = Writer(kVideoOnly56, "same.asf");
  other->AddFilter(second, u"ASFWriter2");
  ASSERT_EQ(otherBuilder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, gate, nullptr, second), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(SUCCEEDED(other->Run()));
  gsttest::ProcessEvents(2s);
  EXPECT_EQ(other->Stop(), S_OK);
  EXPECT_EQ(graph->Stop(), S_OK);
  Record(2s);  // the first writer's graph runs a second time

  for (const char* name : {"same.asf", "same (2).asf"}) {
    const auto decoded = gsttest::DecodeVideo(Path(name));
    EXPECT_TRUE(decoded.ok) << name << "\n" << decoded.problems;
    EXPECT_GT(decoded.lastFrame, 1.0) << name;
  }
  // The second run gets a file of its own. Known fault, still open: when
  // the graph runs again without being deactivated, that file's header is
  // not one players read (the program deactivates before every recording).
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("same (3).asf"))));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("same (4).asf"))));
}

// A file that cannot be made or written: that run's file ends where it
// failed, the stream goes on (the preview keeps getting frames, no error
// stops the graph), and the graph hears of it once.
struct WriteFailureRow {
  const char* name;
  std::function<void(const std::string& file)> fault;  // given the file's path once it is written
  bool atCreation;
  HRESULT result;
};
void PrintTo(const WriteFailureRow& row, std::ostream* os) { *os << row.name; }

class GstAsfWriterFailure : public GstAsfWriterTest, public ::testing::WithParamInterface<WriteFailureRow> {
 protected:
  void TearDown() override {
    platform::OutputFile::FailCreateForTesting(0);
    platform::OutputFile::FailWritesForTesting(0);
    GstAsfWriterTest::TearDown();
  }
};

TEST_P(GstAsfWriterFailure, EndsTheFileOnlyAndIsReportedOnce) {
  const WriteFailureRow& row = GetParam();
  const std::string name = row.atCreation && !row.fault ? "missing/file.asf" : "file.asf";
  const auto writer = Writer(kVideoOnly56, name);
  const auto preview = std::make_shared<gsttest::SinkFilter>();
  graph->AddFilter(writer, u"ASFWriter1");
  graph->AddFilter(preview, u"Preview");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  ASSERT_TRUE(SUCCEEDED(builder->RenderStream(&PIN_CATEGORY_PREVIEW, nullptr, camera, nullptr, preview)));
  if (row.atCreation && row.fault) row.fault(Path(name));
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  gsttest::ProcessEvents(row.atCreation ? 500ms : 2s);
  if (!row.atCreation) row.fault(Path(name));
  gsttest::ProcessEvents(1500ms);
  const int framesAtFailure = preview->Frames();
  gsttest::ProcessEvents(1s);
  EXPECT_GT(preview->Frames(), framesAtFailure + 10) << "the preview goes on";
  EXPECT_EQ(graph->Stop(), S_OK);

  std::vector<std::pair<LONG, LONG_PTR>> events;
  LONG code = 0;
  LONG_PTR p1 = 0, p2 = 0;
  while (graph->GetEvent(code, p1, p2, 0) == S_OK) {
    if (code == EC_ERROR_STILLPLAYING || code == EC_ERRORABORT) events.emplace_back(code, p1);
    graph->FreeEventParams(code, p1, p2);
  }
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].first, EC_ERROR_STILLPLAYING);
  EXPECT_EQ(static_cast<HRESULT>(events[0].second), row.result);
  if (!row.atCreation && row.result != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
    const auto decoded = gsttest::DecodeVideo(Path(name));
    EXPECT_GT(decoded.frames, 0) << decoded.problems;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, GstAsfWriterFailure,
    ::testing::Values(
        WriteFailureRow{"DiskFills", [](const std::string&) { platform::OutputFile::FailWritesForTesting(ENOSPC); },
                        false, STG_E_MEDIUMFULL},
        WriteFailureRow{"InputOutputError", [](const std::string&) { platform::OutputFile::FailWritesForTesting(EIO); },
                        false, HRESULT_FROM_WIN32(ERROR_WRITE_FAULT)},
        WriteFailureRow{"FileDeleted", [](const std::string& file) { std::remove(file.c_str()); }, false,
                        HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        WriteFailureRow{"DiskFullAtTheStart",
                        [](const std::string&) { platform::OutputFile::FailCreateForTesting(ENOSPC); }, true,
                        STG_E_MEDIUMFULL},
        WriteFailureRow{"FolderMissing", nullptr, true, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)}),
    [](const auto& info) { return std::string(info.param.name); });

// All four channels ask for the same port: the first gets it, the others
// record all the same.
TEST_F(GstAsfWriterTest, ASecondWriterAskingForATakenPortRecordsWithoutAServer) {
  const auto first = std::make_shared<NetworkSinkAdapter>();
  const auto second = std::make_shared<NetworkSinkAdapter>();
  DWORD port = 0;
  ASSERT_EQ(first->Open(port), S_OK);
  DWORD same = port;
  EXPECT_EQ(second->Open(same), HRESULT_FROM_WIN32(WSAEADDRINUSE));
  EXPECT_EQ(same, port);

  const auto writer = Writer(kVideoOnly56, "second.asf");
  ASSERT_EQ(writer->AddSink(second), S_OK);
  graph->AddFilter(writer, u"ASFWriter2");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  const double recorded = Record(3s);
  const auto decoded = gsttest::DecodeVideo(Path("second.asf"));
  EXPECT_TRUE(decoded.ok);
  EXPECT_NEAR(decoded.lastFrame, recorded, 0.5);
}

// The child half of the crash test below: records into the file named by
// the environment until it is killed.
TEST_F(GstAsfWriterTest, RecordUntilKilled) {
  const char* file = std::getenv("QUADROVIA_RECORD_UNTIL_KILLED");
  if (!file) GTEST_SKIP() << "runs as the child of KillNineLeavesAFilePlayableUpToItsLastTwoSeconds";
  const auto writer = GstAsfWriter::Make();
  writer->ConfigureFilterUsingProfileGuid(kWMProfiles[kVideoOnly56]);
  writer->SetFileName(QString::fromLocal8Bit(file).toStdU16String(), nullptr);
  graph->AddFilter(writer, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  std::puts("recording");
  std::fflush(stdout);
  gsttest::ProcessEvents(60s);
}

TEST_F(GstAsfWriterTest, KillNineLeavesAFilePlayableUpToItsLastTwoSeconds) {
  const std::string file = Path("killed.asf");
  QProcess child;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QUADROVIA_RECORD_UNTIL_KILLED", QString::fromStdString(file));
  child.setProcessEnvironment(environment);
  child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=GstAsfWriterTest.RecordUntilKilled"});
  ASSERT_TRUE(child.waitForStarted(5000));
  ASSERT_TRUE(gsttest::WaitUntil([&] { return child.readAllStandardOutput().contains("recording") ||
                                              child.state() == QProcess::NotRunning; }, 15s));
  QElapsedTimer timer;
  timer.start();
  gsttest::ProcessEvents(6s);
  child.kill();  // SIGKILL: nothing of the writer runs after this
  const double recorded = timer.elapsed() / 1000.0;
  child.waitForFinished(5000);
  ASSERT_EQ(child.exitStatus(), QProcess::CrashExit);

  const auto decoded = gsttest::DecodeVideo(file);
  EXPECT_GT(decoded.frames, 0) << decoded.problems;
  EXPECT_GT(decoded.lastFrame, recorded - 2.0) << "recorded " << recorded << " s";
}

struct PinRow {
  const char* name;
  std::size_t profile;
  std::vector<std::u16string> pins;
};

class GstAsfWriterPins : public gsttest::BackendTest, public ::testing::WithParamInterface<PinRow> {};

TEST_P(GstAsfWriterPins, FollowTheProfile) {
  const auto writer = GstAsfWriter::Make();
  ASSERT_EQ(writer->ConfigureFilterUsingProfileGuid(kWMProfiles[GetParam().profile]), S_OK);
  std::shared_ptr<IEnumPins> pins;
  ASSERT_EQ(writer->EnumPins(pins), S_OK);
  std::vector<PinPtr> listed;
  pins->Next(8, listed);
  std::vector<std::u16string> names;
  for (const auto& pin : listed) names.push_back(std::dynamic_pointer_cast<GstPin>(pin)->Name());
  EXPECT_EQ(names, GetParam().pins);
  // A pin the profile lacks takes no format at all.
  for (const auto& pin : {writer->AudioInput(), writer->VideoInput()}) {
    const bool listedPin = std::find(names.begin(), names.end(), pin->Name()) != names.end();
    EXPECT_EQ(gst_caps_is_empty(pin->Formats().get()), !listedPin) << GetParam().name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, GstAsfWriterPins,
    ::testing::Values(PinRow{"VideoOnly", kVideoOnly56, {u"Video Input 01"}},
                      PinRow{"AudioOnly", 19, {u"Audio Input 01"}},
                      PinRow{"AudioAndVideo", 0, {u"Audio Input 01", u"Video Input 01"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GstAsfWriterTest, AnAudioPinNeverConnectedIsLeftOutOfTheFile) {
  const auto writer = Writer(0, "video of an audio and video profile.asf");
  graph->AddFilter(writer, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  EXPECT_FALSE(writer->AudioInput()->IsConnected());
  Record(2s);
  const auto media = gsttest::ProbeMedia(Path("video of an audio and video profile.asf"));
  ASSERT_EQ(media.streams.size(), 1u);
  EXPECT_EQ(media.streams[0].codec, "wmv2");
  EXPECT_EQ(media.streams[0].width, 320);
}

TEST_F(GstAsfWriterTest, ConfigurationWaitsForTheStopAndKeepsConnectedPins) {
  const auto writer = Writer(0, "kept.asf");
  graph->AddFilter(writer, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  EXPECT_EQ(writer->ConfigureFilterUsingProfileGuid(kWMProfiles[19]), VFW_E_ALREADY_CONNECTED);
  EXPECT_EQ(writer->ConfigureFilterUsingProfileGuid(GUID{1, 2, 3, {}}), E_INVALIDARG);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  EXPECT_EQ(writer->ConfigureFilterUsingProfileGuid(kWMProfiles[kVideoOnly56]), VFW_E_NOT_STOPPED);
  EXPECT_EQ(writer->SetFileName(u"other.asf", nullptr), VFW_E_NOT_STOPPED);
  EXPECT_EQ(graph->Stop(), S_OK);
  GUID profile;
  writer->GetCurrentProfileGuid(profile);
  EXPECT_EQ(profile, kWMProfiles[0]);
  EXPECT_EQ(writer->ConfigureFilterUsingProfileGuid(kWMProfiles[kVideoOnly56]), S_OK);
}

// A minute of a moving test picture, coded as fast as it can be (not live).
class MovingPicture : public GstFilter {
 public:
  explicit MovingPicture(const std::string& pattern) : GstFilter(GUID{}, u"Moving Picture") {
    GstElement* source = AddElement("videotestsrc");
    GstElement* filter = AddElement("capsfilter");
    gst_util_set_object_arg(G_OBJECT(source), "num-buffers", "1800");
    for (const QString& setting : QString::fromStdString(pattern).split(' ')) {
      const QStringList pair = setting.split('=');
      gst_util_set_object_arg(G_OBJECT(source), pair[0].toUtf8().constData(), pair[1].toUtf8().constData());
    }
    const CapsRef caps = CapsRef::Adopt(gst_caps_from_string("video/x-raw,width=320,height=240,framerate=30/1"));
    g_object_set(filter, "caps", caps.get(), nullptr);
    gst_element_link(source, filter);
    const PadRef out = PadRef::Adopt(gst_element_get_static_pad(filter, "src"));
    AddPin(u"Capture", PINDIR_OUTPUT, out.get(), PIN_CATEGORY_CAPTURE);
  }
};

struct PictureRow {
  const char* name;
  const char* pattern;
};

class GstAsfWriterRate : public GstAsfWriterTest, public ::testing::WithParamInterface<PictureRow> {};

// The rate is the profile's for pictures that need it; a picture plain
// enough to take less at the finest quantizer is not padded out.
TEST_P(GstAsfWriterRate, AMinuteOfMovingPictureStaysNearTheProfileRate) {
  const auto picture = std::make_shared<MovingPicture>(GetParam().pattern);
  const auto writer = Writer(kVideoOnly56, "minute.asf");
  graph->AddFilter(picture, u"Picture");
  graph->AddFilter(writer, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, picture, nullptr, writer), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  LONG code = 0;
  LONG_PTR param1 = 0, param2 = 0;
  EXPECT_TRUE(gsttest::WaitUntil([&] { return graph->GetEvent(code, param1, param2, 0) == S_OK && code == EC_COMPLETE; },
                                 20s));
  graph->Stop();
  const auto media = gsttest::ProbeMedia(Path("minute.asf"));
  EXPECT_NEAR(media.duration, 60, 0.5);
  EXPECT_NEAR(media.bitsPerSecond, 56'000, 56'000 * 0.15);
}

INSTANTIATE_TEST_SUITE_P(Pictures, GstAsfWriterRate,
                         ::testing::Values(PictureRow{"Ball", "pattern=ball motion=wavy animation-mode=frames"},
                                           PictureRow{"ScrollingBars", "pattern=smpte75 horizontal-speed=3"},
                                           PictureRow{"ZonePlate", "pattern=zone-plate kt=2 kx2=20 ky2=20"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A live test tone with one output.
class ToneSource : public GstFilter {
 public:
  ToneSource() : GstFilter(GUID{}, u"Tone") {
    GstElement* source = AddElement("audiotestsrc");
    g_object_set(source, "is-live", TRUE, nullptr);
    const PadRef out = PadRef::Adopt(gst_element_get_static_pad(source, "src"));
    AddPin(u"Out", PINDIR_OUTPUT, out.get());
  }
};

struct StreamsRow {
  const char* name;
  std::size_t profile;
  bool withCamera;
  std::vector<std::string> codecs;
};

class GstAsfWriterStreams : public GstAsfWriterTest, public ::testing::WithParamInterface<StreamsRow> {};

TEST_P(GstAsfWriterStreams, EveryConnectedStreamIsInTheFile) {
  const auto writer = Writer(GetParam().profile, "streams.asf");
  const auto tone = std::make_shared<ToneSource>();
  graph->AddFilter(writer, u"ASFWriter1");
  graph->AddFilter(tone, u"Tone");
  ASSERT_EQ(graph->Connect(tone->Pins().front(), writer->AudioInput()), S_OK);
  if (GetParam().withCamera)
    ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  const double recorded = Record(3s);
  const auto media = gsttest::ProbeMedia(Path("streams.asf"));
  std::vector<std::string> codecs;
  for (const auto& stream : media.streams) codecs.push_back(stream.codec);
  EXPECT_EQ(codecs, GetParam().codecs);
  EXPECT_NEAR(media.duration, recorded, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Profiles, GstAsfWriterStreams,
                         ::testing::Values(StreamsRow{"AudioOnly", 19, false, {"wmav2"}},
                                           StreamsRow{"AudioAndVideo", 0, true, {"wmav2", "wmv2"}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
