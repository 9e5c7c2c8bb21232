#include "media/gst/GstSampleGrabber.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "media/MediaTypeRecord.h"
#include "media/TMediaType.h"
#include "media/framework/Identifiers.h"
#include "media/gst/GstCaptureGraphBuilder.h"
#include "media/gst/GstTestKit.h"

namespace {

using namespace media;
using namespace media::gst;
using namespace std::chrono_literals;

// Records what the grabber hands it, from whichever thread.
class RecordingCallback : public ISampleGrabberCB {
 public:
  HRESULT SampleCB(double sampleTime, IMediaSample* sample) override {
    std::lock_guard lock(mutex_);
    times.push_back(sampleTime);
    lengths.push_back(sample->GetActualDataLength());
    threads.push_back(std::this_thread::get_id());
    return S_OK;
  }
  HRESULT BufferCB(double sampleTime, std::uint8_t*, LONG length) override {
    std::lock_guard lock(mutex_);
    times.push_back(sampleTime);
    lengths.push_back(length);
    threads.push_back(std::this_thread::get_id());
    return S_OK;
  }
  std::size_t Count() {
    std::lock_guard lock(mutex_);
    return times.size();
  }

  std::vector<double> times;
  std::vector<LONG> lengths;
  std::vector<std::thread::id> threads;

 private:
  std::mutex mutex_;
};

// A camera-shaped source giving I420 (the SMPTE bars), the grabber set to
// 24-bit RGB behind it, and a sink that takes anything.
class GstSampleGrabberTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    builder = std::make_shared<GstCaptureGraphBuilder>();
    ASSERT_EQ(builder->SetFiltergraph(graph), S_OK);
    grabber = GstSampleGrabber::Make();
    ASSERT_TRUE(grabber);
    TMediaType rgb(MEDIATYPE_Video);
    rgb.SetSubtype(MEDIASUBTYPE_RGB24);
    rgb.SetFormatType(FORMAT_VideoInfo);
    ASSERT_EQ(grabber->SetMediaType(rgb.AmMediaType()), S_OK);
    graph->AddFilter(source, u"Filter1");
    graph->AddFilter(grabber, u"SampleGrabber1");
    graph->AddFilter(sink, u"VideoWindow1");
  }
  void TearDown() override {
    graph->Stop();
    grabber->SetCallback(nullptr, 1);
    BackendTest::TearDown();
  }
  void Render() { ASSERT_TRUE(SUCCEEDED(builder->RenderStream(&PIN_CATEGORY_PREVIEW, nullptr, source, grabber, sink))); }
  std::string SinkFormat() {
    const CapsRef format = CapsRef::Adopt(gst_caps_from_string(sink->LastFormat().c_str()));
    return format ? gst_structure_get_string(gst_caps_get_structure(format.get(), 0), "format") : "";
  }

  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();
  std::shared_ptr<GstCaptureGraphBuilder> builder;
  std::shared_ptr<gsttest::SourceFilter> source = std::make_shared<gsttest::SourceFilter>();
  std::shared_ptr<GstSampleGrabber> grabber;
  std::shared_ptr<gsttest::SinkFilter> sink = std::make_shared<gsttest::SinkFilter>();
};

// Nothing takes every frame: the path keeps the source's format, and the
// kept frame comes out of GetCurrentBuffer as 24-bit BGR.
TEST_F(GstSampleGrabberTest, WithoutACallbackOnlyTheFrameAskedForIsConverted) {
  grabber->SetBufferSamples(true);
  Render();
  AM_MEDIA_TYPE connected;
  ASSERT_EQ(grabber->GetConnectedMediaType(connected), S_OK);
  EXPECT_EQ(connected.subtype, MEDIASUBTYPE_RGB24);
  FreeMediaTypeRecord(connected);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(gsttest::WaitUntil([&] { return sink->Frames() >= 5; }));
  EXPECT_EQ(SinkFormat(), "I420") << sink->LastFormat();

  LONG size = 0;
  ASSERT_EQ(grabber->GetCurrentBuffer(size, nullptr), S_OK);
  ASSERT_EQ(size, 320 * 240 * 3);
  std::vector<std::uint8_t> bgr(static_cast<std::size_t>(size) + 16, 0xAA);
  LONG copied = static_cast<LONG>(bgr.size());
  ASSERT_EQ(grabber->GetCurrentBuffer(copied, bgr.data()), S_OK);
  EXPECT_EQ(copied, size);
  // Bars in the top rows, blue first in each pixel: 75% white, red, blue.
  struct Bar {
    int x;
    bool blue, green, red;
  };
  for (const Bar bar : {Bar{20, true, true, true}, Bar{250, false, false, true}, Bar{300, true, false, false}}) {
    const std::uint8_t* pixel = &bgr[static_cast<std::size_t>(10 * 320 + bar.x) * 3];
    EXPECT_EQ(pixel[0] > 150, bar.blue) << bar.x << ": " << int(pixel[0]);
    EXPECT_EQ(pixel[1] > 150, bar.green) << bar.x << ": " << int(pixel[1]);
    EXPECT_EQ(pixel[2] > 150, bar.red) << bar.x << ": " << int(pixel[2]);
  }
  copied = 100;
  EXPECT_EQ(grabber->GetCurrentBuffer(copied, bgr.data()), S_OK);
  EXPECT_EQ(copied, 100);
}

// Whether the callback came before the connection (the path is converted)
// or after it (each frame is converted for the callback), it gets every
// frame as 24-bit BGR with its time, on the streaming thread.
class GstSampleGrabberCallbackTest : public GstSampleGrabberTest, public ::testing::WithParamInterface<bool> {};

TEST_P(GstSampleGrabberCallbackTest, TheBufferCallbackGetsEveryBufferWithItsTimeOnTheStreamingThread) {
  const bool beforeConnecting = GetParam();
  RecordingCallback callback;
  LONG size = 0;
  EXPECT_EQ(grabber->GetCurrentBuffer(size, nullptr), E_INVALIDARG);
  grabber->SetBufferSamples(true);
  EXPECT_EQ(grabber->GetCurrentBuffer(size, nullptr), VFW_E_WRONG_STATE);
  if (beforeConnecting) ASSERT_EQ(grabber->SetCallback(&callback, 1), S_OK);
  Render();
  if (!beforeConnecting) ASSERT_EQ(grabber->SetCallback(&callback, 1), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(gsttest::WaitUntil([&] { return callback.Count() >= 10; }));
  ASSERT_EQ(grabber->SetCallback(nullptr, 1), S_OK);
  EXPECT_EQ(SinkFormat(), beforeConnecting ? "BGR" : "I420") << sink->LastFormat();

  const std::size_t count = callback.Count();
  gsttest::ProcessEvents(200ms);
  EXPECT_EQ(callback.Count(), count);  // removed means never called again
  EXPECT_GE(sink->Frames(), static_cast<int>(count));
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_EQ(callback.lengths[i], 320 * 240 * 3);
    EXPECT_NE(callback.threads[i], std::this_thread::get_id());
    if (i > 0) EXPECT_GT(callback.times[i], callback.times[i - 1]);
  }
  EXPECT_LT(callback.times.front(), 1.0);

  ASSERT_EQ(grabber->GetCurrentBuffer(size, nullptr), S_OK);
  EXPECT_EQ(size, 320 * 240 * 3);
  std::vector<std::uint8_t> copy(100);
  LONG copied = static_cast<LONG>(copy.size());
  EXPECT_EQ(grabber->GetCurrentBuffer(copied, copy.data()), S_OK);
  EXPECT_EQ(copied, 100);
}

INSTANTIATE_TEST_SUITE_P(InstalledBeforeOrAfterConnecting, GstSampleGrabberCallbackTest, ::testing::Bool());

TEST_F(GstSampleGrabberTest, AOneShotGrabberPassesOnlyTheFirstBufferOfARun) {
  RecordingCallback callback;
  grabber->SetOneShot(true);
  grabber->SetCallback(&callback, 0);
  Render();
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(gsttest::WaitUntil([&] { return sink->Frames() >= 1; }));
  gsttest::ProcessEvents(300ms);
  EXPECT_EQ(sink->Frames(), 1);
  ASSERT_EQ(callback.Count(), 1u);
  EXPECT_EQ(callback.lengths[0], 320 * 240 * 3);
}

TEST(GstSampleGrabber, AcceptsAnythingUntilGivenAMediaTypeAndRefusesAnUnknownOne) {
  const auto grabber = GstSampleGrabber::Make();
  ASSERT_TRUE(grabber);
  EXPECT_TRUE(gst_caps_is_any(grabber->Input()->Formats().get()));
  AM_MEDIA_TYPE unknown{};
  unknown.majortype = MEDIASUBTYPE_WMV2;
  EXPECT_EQ(grabber->SetMediaType(unknown), VFW_E_INVALIDMEDIATYPE);
  EXPECT_EQ(grabber->SetCallback(nullptr, 2), E_INVALIDARG);
  AM_MEDIA_TYPE connected;
  EXPECT_EQ(grabber->GetConnectedMediaType(connected), VFW_E_NOT_CONNECTED);
}

}  // namespace
