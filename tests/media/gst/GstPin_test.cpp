#include "media/gst/GstPin.h"

#include "media/framework/Identifiers.h"
#include "media/framework/TaskMemory.h"
#include "media/gst/GstSmartTee.h"
#include "media/gst/GstTestKit.h"

namespace {

using namespace media;
using namespace media::gst;
using gsttest::SinkFilter;
using gsttest::SourceFilter;

class GstPinTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    graph->AddFilter(source, u"Source");
    graph->AddFilter(sink, u"Sink");
  }

  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();
  std::shared_ptr<SourceFilter> source = std::make_shared<SourceFilter>("video/x-raw,format=BGR,width=32,height=16");
  std::shared_ptr<SinkFilter> sink = std::make_shared<SinkFilter>();
};

TEST_F(GstPinTest, DisconnectUnlinksBothSidesAndAnswersSFalseWhenUnconnected) {
  EXPECT_EQ(source->Out()->Disconnect(), S_FALSE);
  ASSERT_EQ(source->Out()->Connect(sink->In(), nullptr), S_OK);
  PinPtr peer;
  EXPECT_EQ(sink->In()->ConnectedTo(peer), S_OK);
  EXPECT_EQ(peer, source->Out());

  EXPECT_EQ(sink->In()->Disconnect(), S_OK);
  EXPECT_FALSE(source->Out()->IsConnected());
  EXPECT_EQ(source->Out()->Disconnect(), S_FALSE);
  EXPECT_EQ(source->Out()->ConnectedTo(peer), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(peer, nullptr);
}

struct RefusedCase {
  const char* name;
  HRESULT expected;
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }

class GstPinRefusalTest : public GstPinTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(GstPinRefusalTest, ConnectRefuses) {
  const std::string name = GetParam().name;
  PinPtr from = source->Out(), to = sink->In();
  std::shared_ptr<SinkFilter> other;
  if (name == "input_to_output") std::swap(from, to);
  if (name == "already_connected") ASSERT_EQ(from->Connect(to, nullptr), S_OK);
  if (name == "filter_in_another_graph") {
    other = std::make_shared<SinkFilter>();
    to = other->In();
  }
  std::shared_ptr<GstSmartTee> tee;
  if (name == "while_running") {
    // A running filter with a free output.
    auto running = std::make_shared<SourceFilter>();
    auto runningSink = std::make_shared<SinkFilter>();
    tee = GstSmartTee::Make();
    for (const GstFilterPtr& f : std::vector<GstFilterPtr>{running, tee, runningSink}) graph->AddFilter(f, u"");
    running->Out()->Connect(tee->Input(), nullptr);
    tee->Capture()->Connect(runningSink->In(), nullptr);
    ASSERT_TRUE(SUCCEEDED(graph->Run()));
    OAFilterState state;
    graph->GetState(3000, state);
    from = tee->Preview();
  }
  EXPECT_EQ(from->Connect(to, nullptr), GetParam().expected);
  graph->Stop();
}

INSTANTIATE_TEST_SUITE_P(Cases, GstPinRefusalTest,
                         ::testing::Values(RefusedCase{"input_to_output", VFW_E_INVALID_DIRECTION},
                                           RefusedCase{"already_connected", VFW_E_ALREADY_CONNECTED},
                                           RefusedCase{"filter_in_another_graph", VFW_E_NOT_IN_GRAPH},
                                           RefusedCase{"while_running", VFW_E_NOT_STOPPED}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GstPinTest, AGivenMediaTypeMustSuitBothPins) {
  AM_MEDIA_TYPE audio;
  audio.majortype = MEDIATYPE_Audio;
  EXPECT_EQ(source->Out()->Connect(sink->In(), &audio), VFW_E_TYPE_NOT_ACCEPTED);
  AM_MEDIA_TYPE rgb;
  rgb.majortype = MEDIATYPE_Video;
  rgb.subtype = MEDIASUBTYPE_RGB24;
  EXPECT_EQ(source->Out()->Connect(sink->In(), &rgb), S_OK);
}

TEST_F(GstPinTest, TheConnectionMediaTypeDescribesTheAgreedFormat) {
  AM_MEDIA_TYPE type;
  EXPECT_EQ(source->Out()->ConnectionMediaType(type), VFW_E_NOT_CONNECTED);
  ASSERT_EQ(source->Out()->Connect(sink->In(), nullptr), S_OK);
  ASSERT_EQ(source->Out()->ConnectionMediaType(type), S_OK);
  EXPECT_EQ(type.majortype, MEDIATYPE_Video);
  EXPECT_EQ(type.subtype, MEDIASUBTYPE_RGB24);
  ASSERT_EQ(type.formattype, FORMAT_VideoInfo);
  const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
  EXPECT_EQ(info->bmiHeader.biWidth, 32);
  EXPECT_EQ(info->bmiHeader.biHeight, -16) << "top-down rows";
  EXPECT_EQ(info->bmiHeader.biBitCount, 24);
  EXPECT_EQ(type.lSampleSize, 32u * 16u * 3u);
  CoTaskMemFree(type.pbFormat);
}

TEST_F(GstPinTest, APinOutlivingItsFilterAnswersWithoutIt) {
  PinPtr pin = sink->In();
  graph->RemoveFilter(sink);
  sink.reset();
  PIN_INFO info;
  EXPECT_EQ(pin->QueryPinInfo(info), E_UNEXPECTED);
  EXPECT_EQ(info.pFilter, nullptr);
  EXPECT_EQ(info.achName, u"In");
  EXPECT_EQ(source->Out()->Connect(pin, nullptr), E_UNEXPECTED);
}

}  // namespace
