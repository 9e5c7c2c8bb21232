// What the header of a recording states, as the writer writes it: the
// objects are in the file from its first bytes on (a recording cut off by a
// crash has them), the stop's rewrite keeps them, the live stream's header
// carries them, and GStreamer's demuxer reads the frame rate and seeking
// from them.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "media/framework/Identifiers.h"
#include "media/framework/WMProfiles.h"
#include "media/gst/AsfHeaderView.h"
#include "media/gst/GstAsfWriter.h"
#include "media/gst/GstCaptureFilter.h"
#include "media/gst/GstCaptureGraphBuilder.h"
#include "media/gst/GstDeviceEnumerator.h"
#include "media/gst/GstTestKit.h"
#include "media/gst/NetworkSinkAdapter.h"
#include "media/gst/net/LittleEndian.h"
#include "media/gst/net/TestHttpClient.h"

namespace {

using namespace media;
using namespace media::gst;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kVideoOnly56 = 23;
constexpr std::size_t kFpPlayDuration = 64, kFpMaxBitRate = 100;

Bytes FileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray all = file.readAll();
  return Bytes(all.begin(), all.end());
}

// The Header Object at the start of `bytes`, alone.
Bytes HeaderOf(const Bytes& bytes) {
  if (bytes.size() < 30) return {};
  const std::uint64_t size = net::readLE(bytes.data() + 16, 8);
  return size <= bytes.size() ? Bytes(bytes.begin(), bytes.begin() + size) : Bytes{};
}

void ExpectProfileObjects(const Bytes& header, const std::string& where) {
  SCOPED_TRACE(where);
  const gsttest::AsfHeaderView view(header);
  ASSERT_TRUE(view.Has(gsttest::kCodecList) && view.Has(gsttest::kStreamBitrates));
  EXPECT_EQ(view.At(net::kAsfFilePropertiesObject, kFpMaxBitRate, 4), 52'000u);
  EXPECT_EQ(view.Codecs(), std::vector<std::string>{"1:Windows Media Video 8:WMV2"});
  EXPECT_EQ(view.Bitrates(), (std::map<unsigned, std::uint32_t>{{1, 52'000}}));
  EXPECT_EQ(view.Extended(1, 40, 4), 52'000u) << "data bit rate";
  EXPECT_EQ(view.Extended(1, 44, 4), 3'000u) << "buffer size";
  EXPECT_EQ(view.Extended(1, 76, 8), 666'667u) << "time per frame";
}

class GstAsfWriterHeaderTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    cameras.Write("Yard\n");
    camera = GstCaptureFilter::Make(GstDeviceEnumerator::ProbeVideoSources().back().get(), u"Yard");
    ASSERT_TRUE(camera);
    graph->AddFilter(camera, u"Filter1");
    ASSERT_EQ(builder->SetFiltergraph(graph), S_OK);
    writer = GstAsfWriter::Make();
    ASSERT_TRUE(writer);
    ASSERT_EQ(writer->ConfigureFilterUsingProfileGuid(kWMProfiles[kVideoOnly56]), S_OK);
    ASSERT_EQ(writer->SetFileName(path.toStdU16String(), nullptr), S_OK);
  }
  void TearDown() override {
    graph->Stop();
    BackendTest::TearDown();
  }

  gsttest::CameraFile cameras;
  QTemporaryDir dir;
  QString path = QDir(dir.path()).filePath("header.asf");
  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();
  std::shared_ptr<GstCaptureGraphBuilder> builder = std::make_shared<GstCaptureGraphBuilder>();
  std::shared_ptr<GstCaptureFilter> camera;
  std::shared_ptr<GstAsfWriter> writer;
};

TEST_F(GstAsfWriterHeaderTest, TheProfilesObjectsAreInTheFileFromTheStartThroughTheStopAndInTheStream) {
  const auto sink = std::make_shared<NetworkSinkAdapter>();
  sink->SetMaximumClients(2);
  DWORD port = 0;
  ASSERT_EQ(sink->Open(port), S_OK);
  ASSERT_EQ(writer->AddSink(sink), S_OK);
  graph->AddFilter(writer, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));

  // While it records, the file holds only what was written at the start.
  ASSERT_TRUE(gsttest::WaitUntil([&] { return FileBytes(path).size() > 8'000; }, 10s));
  const Bytes started = HeaderOf(FileBytes(path));
  ExpectProfileObjects(started, "the header written at the start");
  EXPECT_EQ(net::readLE(started.data() + 30 + kFpPlayDuration, 8), 0u) << "not yet rewritten";

  net::test::TestHttpClient client(static_cast<std::uint16_t>(port));
  client.send("GET / HTTP/1.0\r\n\r\n");
  ASSERT_TRUE(client.readUntil([](const std::string& r) {
    const auto head = r.find("\r\n\r\n");
    return head != std::string::npos && r.size() >= head + 4 + 2'000;
  }));
  const std::string body = client.body();
  ExpectProfileObjects(HeaderOf(Bytes(body.begin(), body.end())), "the live stream's header");

  gsttest::ProcessEvents(1s);
  ASSERT_EQ(graph->Stop(), S_OK);
  const Bytes stopped = HeaderOf(FileBytes(path));
  ExpectProfileObjects(stopped, "the header after the stop");
  EXPECT_GT(net::readLE(stopped.data() + 30 + kFpPlayDuration, 8), 0u) << "the stop's rewrite took place";
  EXPECT_EQ(stopped.size(), started.size());
}

// GStreamer's demuxer takes the frame rate from the frame time (without it
// it assumes 25 a second).
TEST_F(GstAsfWriterHeaderTest, GStreamersDemuxerReadsTheProfilesFrameRateAndCanSeek) {
  graph->AddFilter(writer, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  gsttest::ProcessEvents(3s);
  ASSERT_EQ(graph->Stop(), S_OK);

  QProcess discoverer;
  discoverer.start("gst-discoverer-1.0", {"-v", path});
  ASSERT_TRUE(discoverer.waitForFinished(30'000)) << "gst-discoverer-1.0 (gstreamer1.0-plugins-base-apps)";
  const QString report = QString::fromUtf8(discoverer.readAllStandardOutput());
  // The demuxer divides 10^7 by the frame time; 15 a second has no whole
  // frame time in 100-nanosecond units, so it reports 10000000/666667.
  const QRegularExpressionMatch rate = QRegularExpression(R"(Frame rate: (\d+)/(\d+))").match(report);
  ASSERT_TRUE(rate.hasMatch()) << report.toStdString();
  EXPECT_NEAR(rate.captured(1).toDouble() / rate.captured(2).toDouble(), 15.0, 1e-4) << report.toStdString();
  EXPECT_TRUE(report.contains("Seekable: yes")) << report.toStdString();
}

}  // namespace
