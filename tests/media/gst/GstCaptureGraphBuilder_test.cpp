#include "media/gst/GstCaptureGraphBuilder.h"

#include "media/framework/Identifiers.h"
#include "media/gst/GstSmartTee.h"
#include "media/gst/GstTestKit.h"

namespace {

using namespace media;
using namespace media::gst;
using gsttest::PassFilter;
using gsttest::SinkFilter;
using gsttest::SourceFilter;

// A graph with a camera-shaped source and a builder over it.
class GstCaptureGraphBuilderTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    builder = std::make_shared<GstCaptureGraphBuilder>();
    ASSERT_EQ(builder->SetFiltergraph(graph), S_OK);
    graph->AddFilter(source, u"Filter1");
  }

  std::shared_ptr<SinkFilter> AddSink(const std::string& caps, const std::u16string& name) {
    auto sink = std::make_shared<SinkFilter>(caps);
    graph->AddFilter(sink, name);
    return sink;
  }

  // "name" for each filter in the graph, in order, and the number of
  // connected pins over all of them.
  std::vector<std::u16string> FilterNames() const {
    std::vector<std::u16string> names;
    for (const auto& f : graph->Filters()) names.push_back(f->Name());
    return names;
  }
  int ConnectedPins() const {
    int count = 0;
    for (const auto& f : graph->Filters())
      for (const auto& p : f->Pins()) count += p->IsConnected();
    return count;
  }
  HRESULT Render(const GUID& category, const BaseFilterPtr& middle, const BaseFilterPtr& sink) {
    return builder->RenderStream(&category, nullptr, source, middle, sink);
  }

  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();
  std::shared_ptr<GstCaptureGraphBuilder> builder;
  std::shared_ptr<SourceFilter> source = std::make_shared<SourceFilter>();
};

TEST_F(GstCaptureGraphBuilderTest, NilSourceOrSinkIsAnInvalidArgument) {
  const auto sink = AddSink("", u"Sink");
  EXPECT_EQ(builder->RenderStream(&PIN_CATEGORY_PREVIEW, nullptr, nullptr, nullptr, sink), E_INVALIDARG);
  EXPECT_EQ(builder->RenderStream(&PIN_CATEGORY_PREVIEW, nullptr, source, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(FilterNames().size(), 2u);
}

TEST_F(GstCaptureGraphBuilderTest, APreviewOffACameraComesThroughASmartTee) {
  const auto window = AddSink("", u"VideoWindow1");
  EXPECT_EQ(Render(PIN_CATEGORY_PREVIEW, nullptr, window), VFW_S_NOPREVIEWPIN);
  EXPECT_EQ(FilterNames(), (std::vector<std::u16string>{u"Filter1", u"VideoWindow1", u"Smart Tee"}));
  const auto tee = std::dynamic_pointer_cast<GstSmartTee>(source->Out()->Peer()->Owner());
  ASSERT_TRUE(tee);
  EXPECT_EQ(tee->Preview()->Peer(), window->In());
  EXPECT_FALSE(tee->Capture()->IsConnected());
}

// Recording renders the capture stream first and the preview second; both
// come off the one tee.
TEST_F(GstCaptureGraphBuilderTest, CaptureThenPreviewShareOneTee) {
  const auto writer = AddSink("", u"ASFWriter1");
  const auto window = AddSink("", u"VideoWindow1");
  EXPECT_EQ(Render(PIN_CATEGORY_CAPTURE, nullptr, writer), S_OK);
  EXPECT_EQ(Render(PIN_CATEGORY_PREVIEW, nullptr, window), VFW_S_NOPREVIEWPIN);
  EXPECT_EQ(FilterNames(), (std::vector<std::u16string>{u"Filter1", u"ASFWriter1", u"VideoWindow1", u"Smart Tee"}));
  const auto tee = std::dynamic_pointer_cast<GstSmartTee>(source->Out()->Peer()->Owner());
  ASSERT_TRUE(tee);
  EXPECT_EQ(tee->Capture()->Peer(), writer->In());
  EXPECT_EQ(tee->Preview()->Peer(), window->In());

  const auto another = AddSink("", u"Another");
  EXPECT_EQ(Render(PIN_CATEGORY_PREVIEW, nullptr, another), VFW_E_ALREADY_CONNECTED);
}

TEST_F(GstCaptureGraphBuilderTest, ASinkOfAnotherFormatGetsAConverter) {
  const auto grabber = AddSink("video/x-raw,format=BGR", u"SampleGrabber1");
  EXPECT_EQ(Render(PIN_CATEGORY_PREVIEW, nullptr, grabber), VFW_S_NOPREVIEWPIN);
  EXPECT_EQ(FilterNames(),
            (std::vector<std::u16string>{u"Filter1", u"SampleGrabber1", u"Smart Tee", u"Color Space Converter"}));

  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(gsttest::WaitUntil([&] { return grabber->Frames() > 0; }));
  EXPECT_NE(grabber->LastFormat().find("format=(string)BGR"), std::string::npos) << grabber->LastFormat();
  graph->Stop();
}

TEST_F(GstCaptureGraphBuilderTest, TheIntermediateFilterIsPassedThrough) {
  auto middle = std::make_shared<PassFilter>();
  graph->AddFilter(middle, u"SampleGrabber1");
  const auto window = AddSink("", u"VideoWindow1");
  EXPECT_EQ(Render(PIN_CATEGORY_PREVIEW, middle, window), VFW_S_NOPREVIEWPIN);
  EXPECT_TRUE(middle->In()->IsConnected());
  EXPECT_EQ(middle->Out()->Peer(), window->In());
}

// Nothing can turn video into audio: the render fails and takes back what it
// did, the tee included.
TEST_F(GstCaptureGraphBuilderTest, AnImpossibleRenderLeavesNothingBehind) {
  const auto audio = AddSink("audio/x-raw", u"Audio");
  EXPECT_EQ(Render(PIN_CATEGORY_PREVIEW, nullptr, audio), VFW_E_CANNOT_CONNECT);
  EXPECT_EQ(FilterNames(), (std::vector<std::u16string>{u"Filter1", u"Audio"}));
  EXPECT_EQ(ConnectedPins(), 0);

  auto middle = std::make_shared<PassFilter>();
  graph->AddFilter(middle, u"Middle");
  EXPECT_EQ(Render(PIN_CATEGORY_CAPTURE, middle, audio), VFW_E_CANNOT_CONNECT);
  EXPECT_EQ(ConnectedPins(), 0);
  EXPECT_EQ(graph->Filters().size(), 3u);
}

TEST_F(GstCaptureGraphBuilderTest, FiltersOutsideTheGraphAreRefused) {
  const auto stranger = std::make_shared<SinkFilter>();
  EXPECT_EQ(Render(PIN_CATEGORY_PREVIEW, nullptr, stranger), VFW_E_NOT_IN_GRAPH);
  GstCaptureGraphBuilder unset;
  EXPECT_EQ(unset.RenderStream(&PIN_CATEGORY_PREVIEW, nullptr, source, nullptr, stranger), E_UNEXPECTED);
  EXPECT_EQ(builder->SetFiltergraph(gsttest::NewGraph()), E_UNEXPECTED) << "a builder serves one graph";
}

TEST_F(GstCaptureGraphBuilderTest, FindPinByDirectionCategoryAndIndex) {
  PinPtr pin;
  EXPECT_EQ(builder->FindPin(source, PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr, false, 0, pin), S_OK);
  EXPECT_EQ(pin, source->Out());
  EXPECT_EQ(builder->FindPin(source, PINDIR_OUTPUT, &PIN_CATEGORY_PREVIEW, nullptr, false, 0, pin), E_FAIL);
  EXPECT_EQ(builder->FindPin(source, PINDIR_OUTPUT, nullptr, &MEDIATYPE_Audio, false, 0, pin), E_FAIL);
  EXPECT_EQ(builder->FindPin(source, PINDIR_OUTPUT, nullptr, &MEDIATYPE_Video, false, 1, pin), E_FAIL);
  EXPECT_EQ(pin, nullptr);
}

}  // namespace
