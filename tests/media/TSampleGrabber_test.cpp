#include "media/TSampleGrabber.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "media/InterfaceCast.h"
#include "media/RuntimeErrors.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "media/fakes/ClassOverride.h"
#include "media/fakes/FakeMediaPlatform.h"
#include "media/fakes/FakeSampleGrabber.h"
#include "media/TSysDevEnum.h"
#include "media/framework/Identifiers.h"
#include "media/gst/GstTestKit.h"

using namespace media;
using Entries = std::vector<std::string>;

namespace {

// A grabber in a graph over fake platform objects; every grabber filter made
// is kept in `made`.
struct GrabberFixture {
  FakeMediaPlatform platform;
  std::vector<std::shared_ptr<FakeSampleGrabber>> made;
  ClassOverride grabberClass{CLSID_SampleGrabber, [this] {
                               made.push_back(std::make_shared<FakeSampleGrabber>(platform.log));
                               return made.back();
                             }};
  TFilterGraph graph{"FilterGraph1"};
  TSampleGrabber grabber{"SampleGrabber1"};

  GrabberFixture() {
    grabber.SetFilterGraph(&graph);
    platform.log.Clear();
  }
  std::shared_ptr<FakeSampleGrabber> Filter() {
    return std::dynamic_pointer_cast<FakeSampleGrabber>(grabber.GetMemberFilter());
  }
  void Reactivate() {
    graph.SetActive(false);
    graph.SetActive(true);
  }
};

TEST(TSampleGrabber, ActivationConfiguresTheFilterAndDeactivationUndoesItInOrder) {
  GrabberFixture f;
  f.graph.SetActive(true);
  // No handler: the callback is never installed.
  EXPECT_EQ(f.platform.log.entries,
            (Entries{"graph.AddFilter SampleGrabber1", "grabber.Stop", "grabber.in.Disconnect",
                     "grabber.SetMediaType RGB24", "grabber.SetBufferSamples 1"}));
  EXPECT_EQ(f.grabber.Query<ISampleGrabber>(), std::static_pointer_cast<ISampleGrabber>(f.Filter()));
  EXPECT_EQ(f.grabber.Query<IBaseFilter>(), f.grabber.GetMemberFilter());

  f.platform.log.Clear();
  f.graph.SetActive(false);
  EXPECT_EQ(f.platform.log.entries,
            (Entries{"grabber.Stop", "grabber.in.Disconnect", "grabber.out.Disconnect",
                     "graph.RemoveFilter SampleGrabber1", "grabber.SetCallback nil 1", "grabber.SetBufferSamples 0"}));
  EXPECT_EQ(f.grabber.GetMemberFilter(), nullptr);
  EXPECT_EQ(f.grabber.Query<ISampleGrabber>(), nullptr);
  EXPECT_NE(f.grabber.Query<ISampleGrabberCB>(), nullptr);
}

TEST(TSampleGrabber, AHandlerAssignedAfterActivationWaitsForTheNextActivation) {
  GrabberFixture f;
  f.graph.SetActive(true);
  int calls = 0;
  double time = 0;
  LONG length = 0;
  f.grabber.SetOnBuffer([&](TSampleGrabber& sender, double sampleTime, std::uint8_t*, LONG bufferLength) {
    EXPECT_EQ(&sender, &f.grabber);
    ++calls;
    time = sampleTime;
    length = bufferLength;
  });
  f.Filter()->Deliver(0.5, {1, 2, 3});
  EXPECT_EQ(calls, 0);

  f.Reactivate();
  EXPECT_EQ(f.platform.log.entries.back(), "grabber.SetCallback cb 1");
  f.Filter()->Deliver(1.25, {1, 2, 3, 4});
  EXPECT_EQ(calls, 1);
  EXPECT_DOUBLE_EQ(time, 1.25);
  EXPECT_EQ(length, 4);
}

// The streaming thread calls BufferCB; a handler that raised must have left
// the lock, or the next buffer (from another thread) would wait for ever.
TEST(TSampleGrabber, AHandlerThatRaisesLeavesTheLockAndTheCallbackStillAnswersOk) {
  GrabberFixture f;
  std::atomic<int> calls = 0;
  f.grabber.SetOnBuffer([&](TSampleGrabber&, double, std::uint8_t*, LONG) {
    if (++calls == 1) throw std::runtime_error("handler failed");
  });
  std::uint8_t byte = 0;
  EXPECT_EQ(f.grabber.BufferCB(0, &byte, 1), S_OK);

  auto next = std::async(std::launch::async, [&] { return f.grabber.BufferCB(0.1, &byte, 1); });
  ASSERT_EQ(next.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  EXPECT_EQ(next.get(), S_OK);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(f.grabber.SampleCB(0, nullptr), S_OK);
}

TEST(TSampleGrabber, MediaTypeChangedWhileActiveTakesEffectAtTheNextActivationOrRefresh) {
  GrabberFixture f;
  f.graph.SetActive(true);
  f.platform.log.Clear();
  f.grabber.MediaType().SetSubtype(MEDIASUBTYPE_RGB32);
  EXPECT_TRUE(f.platform.log.entries.empty());
  EXPECT_EQ(f.Filter()->mediaSubtype, MEDIASUBTYPE_RGB24);

  f.grabber.NotifyMember(moRefresh, 0);
  EXPECT_EQ(f.platform.log.entries,
            (Entries{"grabber.Stop", "grabber.in.Disconnect", "grabber.SetMediaType RGB32"}));

  f.grabber.MediaType().SetSubtype(MEDIASUBTYPE_RGB24);
  f.Reactivate();
  EXPECT_EQ(f.Filter()->mediaSubtype, MEDIASUBTYPE_RGB24);
}

TEST(TSampleGrabber, TheDefaultMediaTypeIsVideoRgb24WithAVideoInfoFormatAndNoBlock) {
  GrabberFixture f;
  const AM_MEDIA_TYPE& type = f.grabber.MediaType().AmMediaType();
  EXPECT_EQ(type.majortype, MEDIATYPE_Video);
  EXPECT_EQ(type.subtype, MEDIASUBTYPE_RGB24);
  EXPECT_EQ(type.formattype, FORMAT_VideoInfo);
  EXPECT_EQ(type.bFixedSizeSamples, -1);
  EXPECT_EQ(type.bTemporalCompression, 0);
  EXPECT_EQ(type.lSampleSize, 1u);
  EXPECT_EQ(type.cbFormat, 0u);
  EXPECT_EQ(f.grabber.MediaType().WriteData().size(), kMediaTypeRecordSize);
}

TEST(TSampleGrabber, WithoutThePlatformFilterConstructionFails) {
  FakeMediaPlatform platform;
  ClassOverride missing(CLSID_SampleGrabber, [] { return UnknownPtr(); });
  try {
    TSampleGrabber grabber("SampleGrabber1");
    FAIL() << "constructed without a sample grabber";
  } catch (const EAssertionFailed& error) {
    EXPECT_EQ(std::string(error.what()).rfind("The SampleGrabber Filter is not available on this system.", 0), 0u)
        << error.what();
  }
}

TEST(TSampleGrabber, AGraphDestroyedFirstIsForgotten) {
  FakeMediaPlatform platform;
  ClassOverride grabberClass(CLSID_SampleGrabber, [&] { return std::make_shared<FakeSampleGrabber>(platform.log); });
  TSampleGrabber grabber("SampleGrabber1");
  auto graph = std::make_unique<TFilterGraph>();
  grabber.SetFilterGraph(graph.get());
  graph->SetActive(true);
  graph.reset();
  EXPECT_EQ(grabber.FilterGraph(), nullptr);
  EXPECT_EQ(grabber.GetMemberFilter(), nullptr);
}

// Over the real platform: a camera previewed through the grabber, with a
// handler assigned before the activation.
class TSampleGrabberLive : public gsttest::BackendTest {};

TEST_F(TSampleGrabberLive, TheHandlerGetsEveryFrameAs24BitRgbOnTheStreamingThread) {
  gsttest::CameraFile cameras;
  cameras.Write("Yard\n");
  TFilterGraph graph("FilterGraph1");
  graph.SetMode(gmCapture);
  TFilter source("Filter1");
  source.BaseFilter().StoreMoniker(TSysDevEnum(CLSID_VideoInputDeviceCategory).GetDeviceMoniker(0));
  source.SetFilterGraph(&graph);
  TSampleGrabber grabber("SampleGrabber1");
  grabber.SetFilterGraph(&graph);
  std::mutex mutex;
  std::vector<double> times;
  std::vector<LONG> lengths;
  std::atomic<bool> onMainThread = false;
  const auto main = std::this_thread::get_id();
  grabber.SetOnBuffer([&](TSampleGrabber&, double time, std::uint8_t*, LONG length) {
    std::lock_guard lock(mutex);
    times.push_back(time);
    lengths.push_back(length);
    onMainThread = onMainThread || std::this_thread::get_id() == main;
  });
  graph.SetActive(true);
  const auto sink = std::make_shared<gsttest::SinkFilter>();
  graph.PlatformGraph()->AddFilter(sink, u"VideoWindow1");
  const auto builder = InterfaceCast<ICaptureGraphBuilder2>(graph);
  ASSERT_TRUE(SUCCEEDED(builder->RenderStream(&PIN_CATEGORY_PREVIEW, nullptr, source.Query<IBaseFilter>(),
                                             grabber.Query<IBaseFilter>(), sink)));
  ASSERT_TRUE(graph.Play());
  EXPECT_TRUE(gsttest::WaitUntil([&] {
    std::lock_guard lock(mutex);
    return times.size() >= 10;
  }));
  graph.Stop();
  graph.SetActive(false);
  std::lock_guard lock(mutex);
  EXPECT_FALSE(onMainThread);
  for (std::size_t i = 1; i < times.size(); ++i) EXPECT_GT(times[i], times[i - 1]);
  for (LONG length : lengths) EXPECT_EQ(length, 640 * 480 * 3);
}

}  // namespace
