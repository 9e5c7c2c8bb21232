#include "media/gst/GstAsfWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "media/framework/Devices.h"
#include "media/framework/Identifiers.h"
#include "media/framework/WMProfiles.h"
#include "media/gst/GstCaptureGraphBuilder.h"
#include "media/gst/GstDeviceEnumerator.h"
#include "media/gst/GstTestKit.h"
#include "media/gst/MediaProbe.h"

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
    cameras.Write("Yard\n");
    builder = std::make_shared<GstCaptureGraphBuilder>();
    ASSERT_EQ(builder->SetFiltergraph(graph), S_OK);
    camera = Camera();
    ASSERT_TRUE(camera);
    graph->AddFilter(camera, u"Filter1");
  }

  BaseFilterPtr Camera() {
    GstDeviceEnumerator enumerator;
    std::shared_ptr<IEnumMoniker> monikers;
    if (enumerator.CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers, 0) != S_OK) return nullptr;
    std::vector<MonikerPtr> all;
    monikers->Next(64, all);
    for (const auto& moniker : all) {
      UnknownPtr filter;
      if (moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter) != S_OK) continue;
      if (std::u16string(Name(filter)).find(u"Yard") != std::u16string::npos) return Query<IBaseFilter>(filter);
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

TEST_F(GstAsfWriterTest, RecordsTheVideoOnlyProfileWithItsPictureAndTrueDuration) {
  const auto writer = Writer(kVideoOnly56, "录像 [1].asf");
  graph->AddFilter(writer, u"ASFWriter1");
  ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, nullptr, camera, nullptr, writer), S_OK);
  const double recorded = Record(5s);

  const auto media = gsttest::ProbeMedia(Path("录像 [1].asf"));
  ASSERT_TRUE(media.ok);
  EXPECT_EQ(media.format, "asf");
  ASSERT_EQ(media.streams.size(), 1u);
  EXPECT_EQ(media.streams[0].type, "video");
  EXPECT_EQ(media.streams[0].codec, "wmv2");
  EXPECT_EQ(media.streams[0].width, 320);
  EXPECT_EQ(media.streams[0].height, 240);
  EXPECT_DOUBLE_EQ(media.streams[0].framesPerSecond, 15);
  EXPECT_NEAR(media.duration, recorded, 0.5);
  const auto decoded = gsttest::DecodeVideo(Path("录像 [1].asf"));
  EXPECT_TRUE(decoded.ok);
  EXPECT_NEAR(decoded.lastFrame, recorded, 0.5);
}

}  // namespace
