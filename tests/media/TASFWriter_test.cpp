#include "media/TASFWriter.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include "media/InterfaceCast.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "media/TSysDevEnum.h"
#include "media/fakes/ClassOverride.h"
#include "media/fakes/FakeAsfWriter.h"
#include "media/fakes/FakeMediaPlatform.h"
#include "media/framework/Identifiers.h"
#include "media/framework/WMProfiles.h"
#include "media/gst/GstTestKit.h"
#include "media/gst/MediaProbe.h"

using namespace media;
using Entries = std::vector<std::string>;

namespace {

// A writer set up as the program's channels are, in a graph over fake
// platform objects. The writer filters and network sinks made are kept.
struct WriterFixture {
  explicit WriterFixture(int pinCount = 1) : pins(pinCount) {
    writer.SetProfile(wmp_V80_56VideoOnly);
    writer.SetPort(3333);
    writer.SetMaxUsers(8);
    writer.SetFileName("[24年01月02日]03时04分.asf");
    writer.SetFilterGraph(&graph);
    platform.log.Clear();
  }
  std::shared_ptr<FakeAsfWriter> Filter() {
    return std::dynamic_pointer_cast<FakeAsfWriter>(writer.GetMemberFilter());
  }
  Entries SinkCalls() const {
    Entries calls;
    for (const auto& e : platform.log.entries)
      if (e.rfind("sink.", 0) == 0 || e == "writer.AddSink") calls.push_back(e);
    return calls;
  }

  int pins;
  FakeMediaPlatform platform;
  std::vector<std::shared_ptr<FakeAsfWriter>> writers;
  std::vector<std::shared_ptr<FakeNetworkSink>> sinks;
  HRESULT openResult = S_OK;
  DWORD reportedPort = 0;
  ClassOverride writerClass{CLSID_WMAsfWriter, [this] {
                              writers.push_back(std::make_shared<FakeAsfWriter>(platform.log, pins));
                              return writers.back();
                            }};
  ClassOverride sinkClass{CLSID_WMWriterNetworkSink, [this] {
                            sinks.push_back(std::make_shared<FakeNetworkSink>(platform.log));
                            sinks.back()->openResult = openResult;
                            sinks.back()->reportedPort = reportedPort;
                            return sinks.back();
                          }};
  TFilterGraph graph{"FilterGraph1"};
  TASFWriter writer{"ASFWriter1"};
};

TEST(TASFWriter, ActivationConfiguresTheFilterAndOpensTheNetworkSinkInOrder) {
  WriterFixture f;
  f.graph.SetActive(true);
  EXPECT_EQ(f.platform.log.entries,
            (Entries{"graph.AddFilter ASFWriter1", "writer.Configure 23", "writer.SetFileName [24年01月02日]03时04分.asf",
                     "writer.SetParam 1 1 0", "writer.SetParam 2 0 0", "writer.SetParam 3 0 0", "writer.QueryService",
                     "sink.SetNetworkProtocol 0", "sink.SetMaximumClients 8", "sink.Open 3333", "writer.AddSink"}));
  ASSERT_EQ(f.sinks.size(), 1u);
  EXPECT_EQ(f.Filter()->sink, std::static_pointer_cast<IWMWriterSink>(f.sinks[0]));
  EXPECT_EQ(f.writer.Query<IBaseFilter>(), f.writer.GetMemberFilter());
}

TEST(TASFWriter, DeactivationStopsClosesTheSinkDisconnectsBothPinsAndReleasesAll) {
  WriterFixture f(2);
  f.graph.SetActive(true);
  std::weak_ptr<FakeAsfWriter> filter = f.Filter();
  std::weak_ptr<FakeNetworkSink> sink = f.sinks.at(0);
  f.sinks.clear();
  f.writers.clear();
  f.platform.log.Clear();

  f.graph.SetActive(false);
  EXPECT_EQ(f.platform.log.entries,
            (Entries{"writer.Stop", "sink.Disconnect", "sink.Close", "writer.pin1.Disconnect",
                     "writer.pin2.Disconnect", "graph.RemoveFilter ASFWriter1"}));
  EXPECT_TRUE(sink.expired());
  EXPECT_EQ(f.writer.GetMemberFilter(), nullptr);
  // The filter served as its own advanced writer; nothing holds it now.
  EXPECT_TRUE(filter.expired());

  // The next activation makes both anew from the stored values.
  f.graph.SetActive(true);
  EXPECT_EQ(f.sinks.size(), 1u);
  EXPECT_EQ(f.Filter()->profile, kWMProfiles[wmp_V80_56VideoOnly]);
}

struct SinkRow {
  const char* name;
  DWORD port;
  DWORD maxUsers;
  int pins;
};

class TASFWriterNoSink : public ::testing::TestWithParam<SinkRow> {};

TEST_P(TASFWriterNoSink, NoNetworkSinkIsMade) {
  WriterFixture f(GetParam().pins);
  f.writer.SetPort(GetParam().port);
  f.writer.SetMaxUsers(GetParam().maxUsers);
  f.graph.SetActive(true);
  EXPECT_TRUE(f.sinks.empty());
  EXPECT_TRUE(f.SinkCalls().empty());
  f.graph.SetActive(false);
}

INSTANTIATE_TEST_SUITE_P(Rows, TASFWriterNoSink,
                         ::testing::Values(SinkRow{"PortZero", 0, 8, 1}, SinkRow{"NoUsers", 3333, 0, 1},
                                           SinkRow{"NoPins", 3333, 8, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TASFWriter, AFilterWithoutPinsIsNotAskedForItsAdvancedWriter) {
  WriterFixture f(0);
  f.graph.SetActive(true);
  EXPECT_EQ(f.platform.log.entries.back(), "writer.SetParam 3 0 0");
}

TEST(TASFWriter, PortHoldsThePortTheSinkReportsAndAFailedOpenChangesNothingElse) {
  WriterFixture f;
  f.reportedPort = 4444;
  f.graph.SetActive(true);
  EXPECT_EQ(f.writer.Port(), 4444u);

  WriterFixture busy;
  busy.openResult = HRESULT_FROM_WIN32(WSAEADDRINUSE);
  busy.graph.SetActive(true);
  EXPECT_EQ(busy.writer.Port(), 3333u);
  EXPECT_EQ(busy.SinkCalls().back(), "writer.AddSink");
}

TEST(TASFWriter, ProfileSetWhileTheFilterExistsConfiguresItAndLeavesTheStoredProfile) {
  WriterFixture f;
  EXPECT_EQ(f.writer.Profile(), wmp_V80_56VideoOnly);
  f.graph.SetActive(true);
  f.writer.SetProfile(wmp_V80_256Video);
  EXPECT_EQ(f.writer.Profile(), wmp_V80_256Video);
  EXPECT_EQ(f.Filter()->profile, kWMProfiles[wmp_V80_256Video]);

  f.graph.SetActive(false);
  EXPECT_EQ(f.writer.Profile(), wmp_V80_56VideoOnly);
  f.graph.SetActive(true);
  EXPECT_EQ(f.Filter()->profile, kWMProfiles[wmp_V80_56VideoOnly]);
}

TEST(TASFWriter, AProfileOutsideTheTableReads255AndConfiguresNothing) {
  WriterFixture f;
  f.graph.SetActive(true);
  f.Filter()->profile = GUID{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  EXPECT_EQ(f.writer.Profile(), kUnknownProfile);

  f.platform.log.Clear();
  f.writer.SetProfile(static_cast<TWMPofiles8>(kUnknownProfile));
  EXPECT_TRUE(f.platform.log.entries.empty());
}

TEST(TASFWriter, FileNameSetWhileTheFilterExistsIsAppliedAndKeptForTheNextActivation) {
  WriterFixture f;
  f.graph.SetActive(true);
  f.writer.SetFileName("/recordings/#1/next.asf");
  EXPECT_EQ(f.Filter()->fileName, u"/recordings/#1/next.asf");
  f.Filter()->fileName = u"/elsewhere.asf";
  EXPECT_EQ(f.writer.FileName(), "/elsewhere.asf");

  f.graph.SetActive(false);
  EXPECT_EQ(f.writer.FileName(), "/recordings/#1/next.asf");
  f.graph.SetActive(true);
  EXPECT_EQ(f.Filter()->fileName, u"/recordings/#1/next.asf");
}

TEST(TASFWriter, TheOtherPropertiesReachTheFilterAsParameters) {
  WriterFixture f;
  f.writer.SetAutoIndex(false);
  f.writer.SetMultiPass(true);
  f.writer.SetDontCompress(true);
  f.graph.SetActive(true);
  const Entries expected{"writer.SetParam 1 0 0", "writer.SetParam 2 1 0", "writer.SetParam 3 1 0"};
  EXPECT_EQ(Entries(f.platform.log.entries.begin() + 3, f.platform.log.entries.begin() + 6), expected);
}

TEST(TASFWriter, ANewWriterHasTheDefaultsAndAGraphDestroyedFirstIsForgotten) {
  TASFWriter writer("ASFWriter2");
  EXPECT_EQ(writer.Profile(), wmp_V80_255VideoPDA);
  EXPECT_EQ(writer.Port(), 0u);
  EXPECT_EQ(writer.MaxUsers(), 0u);
  EXPECT_TRUE(writer.AutoIndex());
  EXPECT_FALSE(writer.MultiPass());
  EXPECT_FALSE(writer.DontCompress());
  EXPECT_EQ(writer.FileName(), "");

  auto graph = std::make_unique<TFilterGraph>();
  writer.SetFilterGraph(graph.get());
  graph.reset();
  EXPECT_EQ(writer.FilterGraph(), nullptr);
}

// Through the real writer filter: every identifier of the table comes back
// as its own index.
class TASFWriterProfiles : public gsttest::BackendTest, public ::testing::WithParamInterface<int> {};

TEST_P(TASFWriterProfiles, RoundTripThroughTheFilter) {
  TFilterGraph graph("FilterGraph1");
  TASFWriter writer("ASFWriter1");
  writer.SetFilterGraph(&graph);
  graph.SetActive(true);
  ASSERT_NE(writer.GetMemberFilter(), nullptr);
  const auto profile = static_cast<TWMPofiles8>(GetParam());
  writer.SetProfile(profile);
  EXPECT_EQ(writer.Profile(), profile);
  graph.SetActive(false);
}

INSTANTIATE_TEST_SUITE_P(All, TASFWriterProfiles, ::testing::Range(0, static_cast<int>(kWMProfileCount)));

// A recording channel over the real platform: capture graph, camera,
// writer with its network sink, as the record command builds it.
class TASFWriterRecording : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    cameras.Write("Yard\n");
    graph.SetMode(gmCapture);
    const TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
    for (std::size_t i = 0; i < devices.CountDevices(); ++i)
      if (devices.DeviceRecord(static_cast<int>(i)).FriendlyName == "Yard")
        source.BaseFilter().StoreMoniker(devices.GetDeviceMoniker(static_cast<int>(i)));
    source.SetFilterGraph(&graph);
    writer.SetProfile(wmp_V80_56VideoOnly);
    writer.SetFileName(QDir(dir.path()).filePath("[24年01月02日]03时04分.asf").toStdString());
    writer.SetPort(FreePort());
    writer.SetMaxUsers(2);
  }

  // A port no one listens on now.
  static DWORD FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
  }
  static bool Listening(DWORD port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return connected;
  }
  void StartRecording() {
    writer.SetFilterGraph(&graph);
    graph.SetActive(true);
    const auto builder = InterfaceCast<ICaptureGraphBuilder2>(graph);
    ASSERT_TRUE(SUCCEEDED(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, source.Query<IBaseFilter>(), nullptr,
                                               writer.Query<IBaseFilter>())));
    ASSERT_TRUE(graph.Play());
  }
  void StopRecording() {
    graph.Stop();
    graph.SetActive(false);
    writer.SetFilterGraph(nullptr);
  }

  gsttest::CameraFile cameras;
  QTemporaryDir dir;
  TFilterGraph graph{"FilterGraph1"};
  TFilter source{"Filter1"};
  TASFWriter writer{"ASFWriter1"};
};

TEST_F(TASFWriterRecording, ServesTheStreamWhileRecordingAndLeavesAPlayableFile) {
  const DWORD port = writer.Port();
  StartRecording();
  gsttest::ProcessEvents(std::chrono::milliseconds(1500));
  const auto live = gsttest::DecodeVideo("http://127.0.0.1:" + std::to_string(port) + "/", 10, 10000);
  EXPECT_TRUE(live.ok) << live.problems;
  EXPECT_EQ(live.frames, 10);
  StopRecording();
  EXPECT_FALSE(Listening(port));
  const auto file = gsttest::DecodeVideo(writer.FileName());
  EXPECT_TRUE(file.ok) << file.problems;
  EXPECT_GT(file.lastFrame, 1.0);
}

TEST_F(TASFWriterRecording, NoUsersMeansNoServer) {
  writer.SetMaxUsers(0);
  StartRecording();
  EXPECT_FALSE(Listening(writer.Port()));
  StopRecording();
}

}  // namespace
