#include "media/gst/GstBackend.h"

#include "media/GraphMember.h"
#include "media/MediaErrors.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "media/TSysDevEnum.h"
#include "media/framework/ClassFactory.h"
#include "media/framework/EventCodes.h"
#include "media/framework/Identifiers.h"
#include "media/gst/GstSmartTee.h"
#include "media/gst/GstTestKit.h"

// The backend under the media components, as the channels use it: a channel
// graph with a synthetic camera's capture source and a sink member.

namespace {

using namespace media;
using namespace media::gst;
using gsttest::SinkFilter;
using gsttest::WaitUntil;

// A member whose filter is a test sink, made anew at each activation.
class SinkMember : public IGraphMember {
 public:
  BaseFilterPtr GetMemberFilter() override { return sink; }
  std::string GetMemberName() override { return "VideoWindow1"; }
  void NotifyMember(TMemberOperation operation, int) override {
    if (operation == moAdding) sink = std::make_shared<SinkFilter>();
    if (operation == moRemoved) sink.reset();
  }
  void MemberGraphDestroyed() override { graph = nullptr; }
  void SetFilterGraph(TFilterGraph* next) { ChangeMemberGraph(*this, nullptr, graph, next); }

  std::shared_ptr<SinkFilter> sink;
  TFilterGraph* graph = nullptr;
};

class GstBackendTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    graph.SetMode(gmCapture);
    source.SetFilterGraph(&graph);
    window.SetFilterGraph(&graph);
  }
  void TearDown() override {
    graph.SetActive(false);
    source.SetFilterGraph(nullptr);
    window.SetFilterGraph(nullptr);
    BackendTest::TearDown();
  }

  // Binds the source to the camera at `position` and activates the graph.
  void Activate(std::size_t position) {
    TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
    source.BaseFilter().StoreMoniker(devices.GetDeviceMoniker(static_cast<int>(position)));
    graph.SetActive(true);
  }

  HRESULT RenderPreview() {
    auto builder = graph.Query<ICaptureGraphBuilder2>();
    if (!builder) return E_NOINTERFACE;
    return builder->RenderStream(&PIN_CATEGORY_PREVIEW, nullptr, source.Query<IBaseFilter>(), nullptr,
                                 window.sink);
  }

  GstElement* Pipeline() const {
    return std::dynamic_pointer_cast<GstFilterGraph>(graph.PlatformGraph())->Pipeline();
  }

  std::vector<std::u16string> FilterNames() const {
    std::vector<std::u16string> names;
    for (const auto& f : std::dynamic_pointer_cast<GstFilterGraph>(graph.PlatformGraph())->Filters())
      names.push_back(f->Name());
    return names;
  }

  // Runs a camera graph once so that what GStreamer and GLib start once per
  // process (and keep) is there before threads are counted.
  void WarmUp() {
    Activate(0);
    ASSERT_EQ(RenderPreview(), VFW_S_NOPREVIEWPIN);
    ASSERT_TRUE(graph.Play());
    ASSERT_TRUE(WaitUntil([&] { return window.sink->Frames() > 0; }));
    graph.SetActive(false);
  }

  gsttest::CameraFile cameras;
  TFilterGraph graph{"FilterGraph1"};
  TFilter source{"Filter1"};
  SinkMember window;
};

TEST_F(GstBackendTest, ACameraPreviewPlaysAndLeavesNoElementOrThreadBehind) {
  cameras.Write("Lobby\n");
  WarmUp();
  const int threadsBefore = gsttest::SettledThreadCount();

  Activate(0);
  EXPECT_EQ(RenderPreview(), VFW_S_NOPREVIEWPIN);
  EXPECT_TRUE(graph.Play());
  ASSERT_TRUE(WaitUntil([&] { return window.sink->Frames() >= 10; }));
  EXPECT_GT(gsttest::ThreadCount(), threadsBefore);

  auto all = std::make_unique<gsttest::ElementWatch>(Pipeline());
  GstElement* teeBin = nullptr;
  for (const auto& f : std::dynamic_pointer_cast<GstFilterGraph>(graph.PlatformGraph())->Filters())
    if (std::dynamic_pointer_cast<GstSmartTee>(f)) teeBin = f->Bin();
  ASSERT_NE(teeBin, nullptr);
  gsttest::ElementWatch tee(teeBin);

  graph.ResetGraph();
  EXPECT_EQ(FilterNames(), (std::vector<std::u16string>{u"Filter1", u"VideoWindow1"}));
  for (const auto& f : std::dynamic_pointer_cast<GstFilterGraph>(graph.PlatformGraph())->Filters())
    for (const auto& pin : f->Pins()) EXPECT_FALSE(pin->IsConnected()) << pin->Label();
  EXPECT_EQ(tee.Alive(), std::vector<std::string>{});

  graph.SetActive(false);
  EXPECT_EQ(all->Alive(), std::vector<std::string>{});
  EXPECT_TRUE(WaitUntil([&] { return gsttest::ThreadCount() == threadsBefore; }))
      << gsttest::ThreadCount() << " threads, " << threadsBefore << " before";
}

TEST_F(GstBackendTest, ABusyCameraMakesPlayFail) {
  cameras.Write("Lobby [busy]\n");
  Activate(0);
  ASSERT_EQ(RenderPreview(), VFW_S_NOPREVIEWPIN);
  try {
    graph.Play();
    FAIL() << "Play succeeded on a busy camera";
  } catch (const EDirectShowException& e) {
    EXPECT_EQ(e.ErrorCode, HRESULT_FROM_WIN32(ERROR_BUSY));
    EXPECT_NE(std::string(e.what()).find("in use"), std::string::npos) << e.what();
  }
}

TEST_F(GstBackendTest, ACameraRemovedWhileRunningIsReportedAsALostDevice) {
  std::vector<LONG> events;
  UnknownPtr lost;
  graph.OnDSEvent = [&](TFilterGraph&, LONG event, LONG_PTR param1, LONG_PTR) {
    events.push_back(event);
    if (event == EC_DEVICE_LOST) lost = reinterpret_cast<IUnknown*>(param1)->shared_from_this();
  };
  cameras.Write("Lobby\nYard\n");
  Activate(1);
  ASSERT_EQ(RenderPreview(), VFW_S_NOPREVIEWPIN);
  ASSERT_TRUE(graph.Play());
  ASSERT_TRUE(WaitUntil([&] { return window.sink->Frames() > 0; }));

  cameras.Write("Lobby\n");
  ASSERT_TRUE(WaitUntil([&] { return lost != nullptr; }, std::chrono::seconds(3)));
  EXPECT_EQ(Query<IBaseFilter>(lost), source.Query<IBaseFilter>()) << "the event names the camera's filter";
  EXPECT_EQ(std::count(events.begin(), events.end(), EC_DEVICE_LOST), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), EC_ERRORABORT), 0);
}

TEST_F(GstBackendTest, TheDvdBuilderIsNotAvailable) {
  UnknownPtr object;
  EXPECT_EQ(CreateObject(CLSID_DvdGraphBuilder, object), REGDB_E_CLASSNOTREG);
  graph.SetMode(gmDVD);
  graph.SetActive(true);
  EXPECT_EQ(graph.PlatformGraph(), nullptr);
  EXPECT_FALSE(graph.Play());
}

}  // namespace
