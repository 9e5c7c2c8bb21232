#include "media/gst/GstFilterGraph.h"

#include <fcntl.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <fstream>
#include <sstream>

#include "media/framework/EventCodes.h"
#include "media/gst/GstTestKit.h"
#include "platform/MessageWindow.h"

namespace {

using namespace media;
using namespace media::gst;
using gsttest::SinkFilter;
using gsttest::SourceFilter;
using gsttest::WaitUntil;

class GstFilterGraphTest : public gsttest::BackendTest {
 protected:
  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();

  std::vector<std::u16string> NamesInOrder() {
    std::shared_ptr<IEnumFilters> filters;
    graph->EnumFilters(filters);
    std::vector<BaseFilterPtr> all;
    filters->Next(100, all);
    std::vector<std::u16string> names;
    for (const auto& f : all) {
      FILTER_INFO info;
      f->QueryFilterInfo(info);
      names.push_back(info.achName);
    }
    return names;
  }
};

TEST_F(GstFilterGraphTest, AddFilterRefusesNilAndRenamesTakenNames) {
  EXPECT_EQ(graph->AddFilter(nullptr, u"x"), E_POINTER);
  auto first = std::make_shared<SinkFilter>(), second = std::make_shared<SinkFilter>();
  auto third = std::make_shared<SinkFilter>();
  EXPECT_EQ(graph->AddFilter(first, u"Sink"), S_OK);
  EXPECT_EQ(graph->AddFilter(second, u"Sink"), VFW_S_DUPLICATE_NAME);
  EXPECT_EQ(graph->AddFilter(third, u""), S_OK);
  EXPECT_EQ(graph->AddFilter(first, u"Again"), E_INVALIDARG);
  EXPECT_EQ(NamesInOrder(), (std::vector<std::u16string>{u"Sink", u"Sink 0001", u"Test Sink"}));

  FILTER_INFO info;
  second->QueryFilterInfo(info);
  EXPECT_EQ(info.pGraph, std::static_pointer_cast<IFilterGraph>(graph));
  EXPECT_EQ(GST_OBJECT_PARENT(second->Bin()), GST_OBJECT(graph->Pipeline()));
}

TEST_F(GstFilterGraphTest, RemoveFilterTakesItOutUnlinkedAndForgetsTheGraph) {
  auto source = std::make_shared<SourceFilter>();
  auto sink = std::make_shared<SinkFilter>();
  graph->AddFilter(source, u"Source");
  graph->AddFilter(sink, u"Sink");
  ASSERT_EQ(graph->ConnectDirect(source->Out(), sink->In(), nullptr), S_OK);

  EXPECT_EQ(graph->RemoveFilter(sink), S_OK);
  EXPECT_EQ(graph->RemoveFilter(sink), VFW_E_NOT_FOUND);
  EXPECT_FALSE(source->Out()->IsConnected());
  EXPECT_EQ(GST_OBJECT_PARENT(sink->Bin()), nullptr);
  FILTER_INFO info;
  sink->QueryFilterInfo(info);
  EXPECT_EQ(info.pGraph, nullptr);
  EXPECT_TRUE(info.achName.empty());
  EXPECT_EQ(NamesInOrder(), std::vector<std::u16string>{u"Source"});
}

TEST_F(GstFilterGraphTest, RunMakesFramesFlowAndStopBringsEverythingDown) {
  auto source = std::make_shared<SourceFilter>();
  auto sink = std::make_shared<SinkFilter>();
  graph->AddFilter(source, u"Source");
  graph->AddFilter(sink, u"Sink");
  ASSERT_EQ(graph->Connect(source->Out(), sink->In()), S_OK);

  const HRESULT run = graph->Run();
  EXPECT_TRUE(run == S_OK || run == S_FALSE) << std::hex << run;
  EXPECT_TRUE(WaitUntil([&] { return sink->Frames() >= 5; }));
  OAFilterState state = -1;
  EXPECT_EQ(graph->GetState(2000, state), S_OK);
  EXPECT_EQ(state, State_Running);

  EXPECT_EQ(graph->Stop(), S_OK);
  EXPECT_EQ(GST_STATE(graph->Pipeline()), GST_STATE_NULL);
  EXPECT_EQ(GST_STATE(source->Bin()), GST_STATE_NULL);
}

// An unconnected sink would wait for a first frame forever and hold the
// pipeline back from playing; an unconnected source would fail it.
TEST_F(GstFilterGraphTest, UnconnectedFiltersTakeNoPartInARun) {
  auto source = std::make_shared<SourceFilter>(), idleSource = std::make_shared<SourceFilter>();
  auto sink = std::make_shared<SinkFilter>(), idleSink = std::make_shared<SinkFilter>();
  for (const auto& f : std::vector<GstFilterPtr>{source, idleSource, sink, idleSink}) graph->AddFilter(f, u"");
  ASSERT_EQ(graph->ConnectDirect(source->Out(), sink->In(), nullptr), S_OK);

  EXPECT_TRUE(SUCCEEDED(graph->Run()));
  OAFilterState state = -1;
  EXPECT_EQ(graph->GetState(3000, state), S_OK);
  EXPECT_EQ(state, State_Running);
  EXPECT_EQ(GST_STATE(idleSink->Bin()), GST_STATE_NULL);
  LONG code;
  LONG_PTR p1, p2;
  EXPECT_EQ(graph->GetEvent(code, p1, p2, 200), S_OK);
  EXPECT_EQ(code, EC_CLOCK_CHANGED) << "and no error from the idle source";
  EXPECT_EQ(graph->GetEvent(code, p1, p2, 0), E_ABORT);
  EXPECT_EQ(graph->Stop(), S_OK);
}

// Bus messages become events, announced on the user-interface thread through
// the notify window in queue order; flags 1 silence the announcements only.
TEST_F(GstFilterGraphTest, EventsAreAnnouncedToTheNotifyWindowInOrder) {
  std::vector<LONG> delivered;
  std::vector<LONG_PTR> instances;
  platform::MessageWindow window([&](platform::UINT msg, platform::WPARAM, platform::LPARAM data) {
    EXPECT_EQ(msg, 0x8001u);
    LONG code;
    LONG_PTR p1, p2;
    while (graph->GetEvent(code, p1, p2, 0) == S_OK) {
      delivered.push_back(code);
      instances.push_back(data);
      graph->FreeEventParams(code, p1, p2);
    }
    return platform::LRESULT{0};
  });
  graph->SetNotifyWindow(window.Handle(), 0x8001, 1234);
  auto source = std::make_shared<SourceFilter>("video/x-raw,width=64,height=48", 3);
  auto sink = std::make_shared<SinkFilter>();
  graph->AddFilter(source, u"Source");
  graph->AddFilter(sink, u"Sink");
  ASSERT_EQ(graph->Connect(source->Out(), sink->In()), S_OK);

  graph->Run();
  ASSERT_TRUE(WaitUntil([&] { return delivered.size() >= 2; }));
  EXPECT_EQ(delivered, (std::vector<LONG>{EC_CLOCK_CHANGED, EC_COMPLETE}));
  EXPECT_EQ(instances, (std::vector<LONG_PTR>{1234, 1234}));

  graph->Stop();
  graph->SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY);
  delivered.clear();
  auto again = std::make_shared<SourceFilter>("video/x-raw,width=64,height=48", 3);
  graph->RemoveFilter(source);
  graph->AddFilter(again, u"Again");
  graph->Connect(again->Out(), sink->In());
  graph->Run();
  gsttest::ProcessEvents(std::chrono::milliseconds(300));
  EXPECT_TRUE(delivered.empty());
  LONG code;
  LONG_PTR p1, p2;
  EXPECT_EQ(graph->GetEvent(code, p1, p2, 2000), S_OK) << "still queued";
  graph->Stop();
}

// A filter that must finish its output gets the end of its stream before
// the graph stops; the drain is no EC_COMPLETE.
TEST_F(GstFilterGraphTest, StopDrainsFiltersThatNeedIt) {
  auto source = std::make_shared<SourceFilter>();
  auto writer = std::make_shared<SinkFilter>("", true);
  graph->AddFilter(source, u"Source");
  graph->AddFilter(writer, u"Writer");
  ASSERT_EQ(graph->Connect(source->Out(), writer->In()), S_OK);
  graph->Run();
  ASSERT_TRUE(WaitUntil([&] { return writer->Frames() >= 3; }));

  EXPECT_EQ(graph->Stop(), S_OK);
  EXPECT_TRUE(writer->SawEndOfStream());
  LONG code;
  LONG_PTR p1, p2;
  while (graph->GetEvent(code, p1, p2, 0) == S_OK) EXPECT_NE(code, EC_COMPLETE);
}

// A writer whose stream already ended by itself has nothing left to finish:
// Stop does not wait out the drain's limit for an end that came before.
TEST_F(GstFilterGraphTest, StopAfterTheStreamEndedByItselfDoesNotWaitForADrain) {
  auto source = std::make_shared<SourceFilter>("video/x-raw,width=64,height=48", 3);
  auto writer = std::make_shared<SinkFilter>("", true);
  graph->AddFilter(source, u"Source");
  graph->AddFilter(writer, u"Writer");
  ASSERT_EQ(graph->Connect(source->Out(), writer->In()), S_OK);
  graph->Run();
  LONG code = 0;
  LONG_PTR p1, p2;
  ASSERT_TRUE(WaitUntil([&] { return graph->GetEvent(code, p1, p2, 0) == S_OK && code == EC_COMPLETE; }));

  QElapsedTimer stopping;
  stopping.start();
  EXPECT_EQ(graph->Stop(), S_OK);
  EXPECT_LT(stopping.elapsed(), GstFilterGraph::kDrainLimitMs / 2);
  EXPECT_TRUE(writer->SawEndOfStream());
}

TEST_F(GstFilterGraphTest, StopWithoutDrainingFiltersEndsNoStream) {
  auto source = std::make_shared<SourceFilter>();
  auto sink = std::make_shared<SinkFilter>();
  graph->AddFilter(source, u"Source");
  graph->AddFilter(sink, u"Sink");
  ASSERT_EQ(graph->Connect(source->Out(), sink->In()), S_OK);
  graph->Run();
  ASSERT_TRUE(WaitUntil([&] { return sink->Frames() >= 1; }));
  EXPECT_EQ(graph->Stop(), S_OK);
  EXPECT_FALSE(sink->SawEndOfStream());
}

// A sink that cannot open its file, as a writer whose folder is gone.
class UnwritableFilter : public GstFilter {
 public:
  UnwritableFilter() : GstFilter(GUID{}, u"Unwritable") {
    GstElement* sink = AddElement("filesink");
    g_object_set(sink, "location", "/nonexistent-folder/x/y.bin", nullptr);
    const PadRef in = PadRef::Adopt(gst_element_get_static_pad(sink, "sink"));
    AddPin(u"In", PINDIR_INPUT, in.get());
  }
};

TEST_F(GstFilterGraphTest, ARunThatCannotStartFailsWithTheErrorsResultAndLeavesNothingRunning) {
  auto source = std::make_shared<SourceFilter>();
  auto sink = std::make_shared<UnwritableFilter>();
  graph->AddFilter(source, u"Source");
  graph->AddFilter(sink, u"Writer");
  ASSERT_EQ(graph->ConnectDirect(source->Out(), sink->Pins().front(), nullptr), S_OK);

  const HRESULT hr = graph->Run();
  EXPECT_EQ(hr, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)) << std::hex << hr;
  EXPECT_EQ(GST_STATE(graph->Pipeline()), GST_STATE_NULL);
  LONG code;
  LONG_PTR p1, p2;
  ASSERT_EQ(graph->GetEvent(code, p1, p2, 0), S_OK);
  EXPECT_EQ(code, EC_ERRORABORT);
  EXPECT_EQ(p1, hr);
}

TEST_F(GstFilterGraphTest, TheLogTellsFiltersConnectionsStatesAndErrors) {
  char path[] = "/tmp/quadrovia-graphlog-XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  graph->SetLogFile(fd);
  auto source = std::make_shared<SourceFilter>();
  auto sink = std::make_shared<SinkFilter>("video/x-raw,format=BGR");
  auto audio = std::make_shared<SinkFilter>("audio/x-raw");
  graph->AddFilter(source, u"Source");
  graph->AddFilter(sink, u"Sink");
  graph->AddFilter(audio, u"Audio");
  graph->Connect(source->Out(), audio->In());
  graph->Connect(source->Out(), sink->In());
  graph->Run();
  OAFilterState state;
  graph->GetState(3000, state);
  graph->Stop();
  graph->RemoveFilter(audio);
  graph->SetLogFile(0);
  graph->Run();  // no longer logged
  graph->Stop();
  ::close(fd);

  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  ::unlink(path);
  const std::string log = text.str();
  for (const char* expected :
       {"add filter \"Source\"", "connect Source.Capture -> Audio.In: offered video/x-raw", "accepted audio/x-raw",
        "Audio.In refused", "add filter \"Color Space Converter\"", "connect Color Space Converter.Output -> Sink.In",
        "state NULL -> READY", "state PAUSED -> PLAYING", "remove filter \"Audio\""})
    EXPECT_NE(log.find(expected), std::string::npos) << expected << "\n" << log;
  EXPECT_EQ(log.find("run\n", log.rfind("remove filter")), std::string::npos) << log;
}

}  // namespace
