#include "media/TFilterGraph.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <functional>
#include <thread>

#include "media/InterfaceCast.h"
#include "media/MediaErrors.h"
#include "media/fakes/FakeMediaPlatform.h"
#include "media/fakes/TestMember.h"
#include "media/framework/EventCodes.h"
#include "support/ErrorRecorder.h"
#include "support/TempDir.h"

using namespace media;
using Entries = std::vector<std::string>;

namespace {

// A graph in capture mode with a plain member M1 and a listening member L.
struct GraphFixture {
  FakeMediaPlatform platform;
  CallLog& log = platform.log;
  TFilterGraph graph{"FilterGraph1"};
  TestMember m1{"M1", log};
  TestMember listener{"L", log, true};

  GraphFixture() {
    graph.SetMode(gmCapture);
    graph.OnActivate = [this](TFilterGraph&) { log.Add("OnActivate"); };
  }
  std::shared_ptr<FakeGraph> Platform() const { return platform.LastGraph(); }
};

struct OrderCase {
  const char* name;
  bool startActive;
  bool m1Joined;
  std::function<void(GraphFixture&)> action;
  Entries expected;
  std::size_t graphsMade;  // platform graphs made from setup to the end
};

class NotificationOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(NotificationOrder, MembersListenersAndPlatformGraphHearInOrder) {
  const OrderCase& c = GetParam();
  GraphFixture f;
  if (c.m1Joined) f.m1.SetFilterGraph(&f.graph);
  f.listener.SetFilterGraph(&f.graph);
  f.graph.SetActive(c.startActive);
  f.log.Clear();
  c.action(f);
  EXPECT_EQ(f.log.entries, c.expected);
  EXPECT_EQ(f.platform.graphs.size(), c.graphsMade);
}

const Entries kAddAll = {"M1.moAdding", "graph.AddFilter M1", "M1.moAdded", "L.moAdding", "graph.AddFilter L",
                         "L.moAdded",   "OnActivate",         "L.gcActive 1"};
const Entries kRemoveAll = {"L.gcActive 0", "M1.moRemoving", "graph.RemoveFilter M1", "M1.moRemoved",
                            "L.moRemoving", "graph.RemoveFilter L", "L.moRemoved"};

Entries Concat(Entries a, const Entries& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, NotificationOrder,
    ::testing::Values(
        OrderCase{"JoinWhileInactive", false, false, [](GraphFixture& f) { f.m1.SetFilterGraph(&f.graph); }, {}, 0},
        OrderCase{"JoinWhileActive", true, false, [](GraphFixture& f) { f.m1.SetFilterGraph(&f.graph); },
                  {"M1.moAdding", "graph.AddFilter M1", "M1.moAdded"}, 1},
        OrderCase{"LeaveWhileActive", true, true, [](GraphFixture& f) { f.m1.SetFilterGraph(nullptr); },
                  {"M1.moRemoving", "graph.RemoveFilter M1", "M1.moRemoved"}, 1},
        OrderCase{"LeaveWhileInactive", false, true, [](GraphFixture& f) { f.m1.SetFilterGraph(nullptr); }, {}, 0},
        OrderCase{"ActivateAddsInJoinOrderThenOnActivateThenListeners", false, true,
                  [](GraphFixture& f) { f.graph.SetActive(true); }, kAddAll, 1},
        OrderCase{"Deactivate", true, true, [](GraphFixture& f) { f.graph.SetActive(false); }, kRemoveAll, 1},
        OrderCase{"ModeChangedWhileActiveRebuildsOnANewGraph", true, true,
                  [](GraphFixture& f) { f.graph.SetMode(gmNormal); }, Concat(kRemoveAll, kAddAll), 2},
        OrderCase{"ModeChangedWhileInactiveOnlyStores", false, true,
                  [](GraphFixture& f) { f.graph.SetMode(gmNormal); }, {}, 0},
        OrderCase{"ActiveAndModeSetToTheirValues", true, true,
                  [](GraphFixture& f) {
                    f.graph.SetActive(true);
                    f.graph.SetMode(gmCapture);
                  },
                  {}, 1},
        OrderCase{"SameGraphAgainDoesNothing", true, true, [](GraphFixture& f) { f.m1.SetFilterGraph(&f.graph); },
                  {}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TFilterGraph, PlayAndStopOnAnInactiveGraphAnswerFalseAndTellNobody) {
  GraphFixture f;
  f.listener.SetFilterGraph(&f.graph);
  EXPECT_FALSE(f.graph.Play());
  EXPECT_FALSE(f.graph.Stop());
  EXPECT_TRUE(f.log.entries.empty());
}

struct RunCase {
  const char* name;
  HRESULT run, stop;
  bool played, stopped;
};

class PlayStop : public ::testing::TestWithParam<RunCase> {};

TEST_P(PlayStop, PlayCountsAnySuccessStopOnlySOk) {
  GraphFixture f;
  f.platform.runResult = GetParam().run;
  f.platform.stopResult = GetParam().stop;
  f.listener.SetFilterGraph(&f.graph);
  f.graph.SetActive(true);
  f.log.Clear();
  EXPECT_EQ(f.graph.Play(), GetParam().played);
  EXPECT_EQ(f.graph.Stop(), GetParam().stopped);
  EXPECT_EQ(f.log.entries, (Entries{"L.gcPlay 0", "graph.Run", "L.gcStop 0", "graph.Stop"}));
}

INSTANTIATE_TEST_SUITE_P(Results, PlayStop,
                         ::testing::Values(RunCase{"Done", S_OK, S_OK, true, true},
                                           RunCase{"StillChangingState", S_FALSE, S_FALSE, true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TFilterGraph, FailingRunOrStopRaisesWithTheCode) {
  GraphFixture f;
  f.platform.runResult = VFW_E_NO_CAPTURE_HARDWARE;
  f.platform.stopResult = E_FAIL;
  f.graph.SetActive(true);
  try {
    f.graph.Play();
    FAIL() << "no exception";
  } catch (const EDirectShowException& e) {
    EXPECT_EQ(e.ErrorCode, VFW_E_NO_CAPTURE_HARDWARE);
  }
  EXPECT_THROW(f.graph.Stop(), EDirectShowException);
  EXPECT_TRUE(f.graph.Active());
}

TEST(TFilterGraph, ResetGraphLeavesExactlyTheMembersFiltersUnconnected) {
  GraphFixture f;
  f.m1.SetFilterGraph(&f.graph);
  f.listener.SetFilterGraph(&f.graph);
  f.graph.SetActive(true);
  auto graph = f.Platform();
  auto tee = std::make_shared<FakeFilter>("Tee", 3), convert = std::make_shared<FakeFilter>("Convert", 2);
  graph->AddFilter(tee, u"Tee");
  graph->AddFilter(convert, u"Convert");
  ConnectFakePins(f.m1.filter->pins[1], tee->pins[0]);
  ConnectFakePins(tee->pins[1], convert->pins[0]);
  ConnectFakePins(convert->pins[1], f.listener.filter->pins[0]);

  f.graph.ResetGraph();
  EXPECT_EQ(graph->filters, (std::vector<BaseFilterPtr>{f.m1.filter, f.listener.filter}));
  for (const auto& filter : {f.m1.filter, f.listener.filter, tee, convert})
    for (const auto& pin : filter->pins) EXPECT_FALSE(pin->connected) << filter->label;
  EXPECT_EQ(f.log.entries.back(), "graph.RemoveFilter Convert");
}

TEST(TFilterGraph, ResetGraphRaisesForAFailingDisconnectOrRemovalAndDoesNothingInactive) {
  GraphFixture f;
  f.graph.ResetGraph();
  f.graph.SetActive(true);
  auto extra = std::make_shared<FakeFilter>("Extra", 1);
  f.Platform()->AddFilter(extra, u"Extra");
  f.Platform()->removeFailure = E_UNEXPECTED;
  EXPECT_THROW(f.graph.ResetGraph(), EDirectShowException);
  f.Platform()->removeFailure = S_OK;
  extra->pins[0]->disconnectFailure = VFW_E_NOT_STOPPED;
  EXPECT_THROW(f.graph.DisconnectAll(), EDirectShowException);
}

TEST(TFilterGraph, GraphEditPublishesOneEntryPerActivePeriod) {
  GraphFixture f;
  auto& table = *f.platform.table;
  f.graph.SetGraphEdit(true);
  EXPECT_TRUE(table.entries.empty());
  f.graph.SetActive(true);
  ASSERT_EQ(table.entries.size(), 1u);
  const auto first = *table.entries.begin();
  EXPECT_EQ(first.second.rfind("!FilterGraph ", 0), 0u);
  f.graph.SetActive(false);
  EXPECT_TRUE(table.entries.empty());
  EXPECT_TRUE(f.graph.GraphEdit());
  f.graph.SetActive(true);
  ASSERT_EQ(table.entries.size(), 1u);
  EXPECT_NE(table.entries.begin()->first, first.first);
  f.graph.SetGraphEdit(false);
  EXPECT_TRUE(table.entries.empty());
  f.graph.SetGraphEdit(true);
  EXPECT_EQ(table.entries.size(), 1u);
  EXPECT_EQ(table.registrations, 3);
}

TEST(TFilterGraph, AFailedPublicationIsNotReportedAndNotWithdrawn) {
  GraphFixture f;
  f.platform.table->registerFailure = E_FAIL;
  f.graph.SetGraphEdit(true);
  f.graph.SetActive(true);
  f.graph.SetActive(false);
  EXPECT_TRUE(f.platform.table->entries.empty());
  EXPECT_EQ(f.platform.table->registrations, 1);
}

// Runs the event loop until `done` or a bounded number of passes.
void ProcessUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 10000 && !done(); ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(TFilterGraph, EventsFromAnyThreadArriveOnTheUserInterfaceThreadInQueueOrder) {
  GraphFixture f;
  f.listener.SetFilterGraph(&f.graph);
  f.graph.SetActive(true);
  f.log.Clear();
  std::vector<LONG> codes;
  std::vector<std::thread::id> threads;
  int completes = 0;
  f.graph.OnDSEvent = [&](TFilterGraph&, LONG code, LONG_PTR, LONG_PTR) {
    codes.push_back(code);
    threads.push_back(std::this_thread::get_id());
  };
  f.graph.OnGraphComplete = [&](TFilterGraph&, HRESULT, IUnknown*) { ++completes; };
  auto graph = f.Platform();
  std::thread producer([graph] {
    for (LONG code : {EC_COMPLETE, EC_USERABORT, LONG{9999}, EC_CLOCK_CHANGED}) graph->QueueEvent(code);
  });
  producer.join();
  ProcessUntil([&] { return codes.size() == 4; });

  EXPECT_EQ(codes, (std::vector<LONG>{EC_COMPLETE, EC_USERABORT, 9999, EC_CLOCK_CHANGED}));
  for (auto id : threads) EXPECT_EQ(id, std::this_thread::get_id());
  EXPECT_EQ(completes, 1);
  EXPECT_EQ(f.log.entries, (Entries{"L.event 1", "L.event 2", "L.event 9999", "L.event 13"}));
  EXPECT_EQ(graph->freedEvents, 4);
}

TEST(TFilterGraph, AnExceptionInDispatchIsShownAndEndsThatPassOnly) {
  ErrorRecorder errors;
  GraphFixture f;
  f.graph.SetActive(true);
  auto graph = f.Platform();
  graph->SetNotifyWindow(0, 0, 0);  // queue without announcing; the test sends the notices
  std::vector<LONG> codes;
  f.graph.OnDSEvent = [&](TFilterGraph&, LONG code, LONG_PTR, LONG_PTR) {
    codes.push_back(code);
    if (code == EC_USERABORT) throw EDirectShowException("Handler failed.", E_FAIL);
  };
  for (LONG code : {EC_COMPLETE, EC_USERABORT, EC_PAUSED}) graph->QueueEvent(code);

  platform::SendMessage(f.graph.NotifyWindow(), WM_GRAPHNOTIFY, 0, 0);
  EXPECT_EQ(codes, (std::vector<LONG>{EC_COMPLETE, EC_USERABORT}));
  EXPECT_EQ(errors.messages(), (std::vector<std::string>{"Handler failed."}));
  EXPECT_EQ(graph->freedEvents, 1);

  platform::SendMessage(f.graph.NotifyWindow(), WM_GRAPHNOTIFY, 0, 0);
  EXPECT_EQ(codes, (std::vector<LONG>{EC_COMPLETE, EC_USERABORT, EC_PAUSED}));
  EXPECT_EQ(graph->freedEvents, 2);
}

TEST(TFilterGraph, NotificationIsOnWhileActiveAndOffAfterwards) {
  GraphFixture f;
  f.graph.SetActive(true);
  auto graph = f.Platform();
  EXPECT_EQ(graph->notifyWindow, f.graph.NotifyWindow());
  EXPECT_EQ(graph->notifyMessage, static_cast<LONG>(WM_GRAPHNOTIFY));
  EXPECT_EQ(graph->notifyInstance, reinterpret_cast<LONG_PTR>(static_cast<IMediaEventEx*>(graph.get())));
  EXPECT_EQ(graph->notifyFlags, 0);
  f.graph.SetActive(false);
  EXPECT_EQ(graph->notifyFlags, AM_MEDIAEVENT_NONOTIFY);
  int seen = 0;
  f.graph.OnDSEvent = [&](TFilterGraph&, LONG, LONG_PTR, LONG_PTR) { ++seen; };
  graph->QueueEvent(EC_COMPLETE);
  platform::SendMessage(f.graph.NotifyWindow(), WM_GRAPHNOTIFY, 0, 0);
  EXPECT_EQ(seen, 0);
}

TEST(TFilterGraph, LogFileIsCreatedPerActivationAndAFailedCreationKeepsTheOldName) {
  TempDir dir;
  GraphFixture f;
  const std::string first = dir.File("graph.log");
  dir.Write("graph.log", "old content that must go\n");
  f.graph.SetLogFile(first);
  EXPECT_EQ(dir.Read("graph.log"), "old content that must go\n");
  f.graph.SetActive(true);
  auto graph = f.Platform();
  ASSERT_EQ(graph->logFiles.size(), 2u);  // off, then the new file
  EXPECT_NE(graph->logFiles[1], 0);
  EXPECT_EQ(dir.Read("graph.log"), "graph log\n");

  f.graph.SetLogFile(dir.File("missing/folder/graph.log"));
  EXPECT_EQ(f.graph.LogFile(), first);
  EXPECT_EQ(graph->logFiles.back(), 0);
  f.graph.SetActive(false);
  EXPECT_EQ(graph->logFiles.back(), 0);
}

TEST(TFilterGraph, QueriesGoToTheBuilderThenTheGraphOnlyWhileActive) {
  GraphFixture f;
  EXPECT_EQ(f.graph.Query<IMediaControl>(), nullptr);
  EXPECT_EQ(f.graph.Query<ICaptureGraphBuilder2>(), nullptr);
  f.graph.SetActive(true);
  ASSERT_EQ(f.platform.builders.size(), 1u);
  EXPECT_EQ(f.graph.Query<ICaptureGraphBuilder2>(), f.platform.builders[0]);
  EXPECT_EQ(f.graph.Query<IMediaControl>(), f.Platform());
  EXPECT_EQ(f.platform.builders[0]->graph, f.Platform());
  EXPECT_NE(f.graph.Query<TFilterGraph>(), nullptr);
}

TEST(TFilterGraph, DvdModeHasNoObjectsHereButMembersStillComeAndGo) {
  GraphFixture f;
  f.m1.SetFilterGraph(&f.graph);
  f.graph.SetMode(gmDVD);
  f.graph.SetActive(true);
  EXPECT_TRUE(f.graph.Active());
  EXPECT_EQ(f.graph.PlatformGraph(), nullptr);
  EXPECT_FALSE(f.graph.Play());
  f.graph.ResetGraph();
  f.graph.SetActive(false);
  EXPECT_EQ(f.log.entries, (Entries{"M1.moAdding", "M1.moAdded", "OnActivate", "M1.moRemoving", "M1.moRemoved"}));
}

TEST(TFilterGraph, DestroyingTheGraphDeactivatesAndMembersForgetIt) {
  FakeMediaPlatform platform;
  TestMember member("M1", platform.log, true);
  {
    TFilterGraph graph;
    member.SetFilterGraph(&graph);
    graph.SetActive(true);
    platform.log.Clear();
  }
  EXPECT_EQ(member.FilterGraph(), nullptr);
  EXPECT_EQ(platform.log.entries, (Entries{"M1.gcActive 0", "M1.moRemoving", "graph.RemoveFilter M1",
                                           "M1.moRemoved", "M1.graphDestroyed"}));
}

}  // namespace

namespace {

TEST(InterfaceCast, RaisesInterfaceNotSupportedWhileTheGraphIsInactive) {
  GraphFixture f;
  try {
    InterfaceCast<ICaptureGraphBuilder2>(f.graph);
    FAIL() << "no exception";
  } catch (const EIntfCastError& e) {
    EXPECT_STREQ(e.what(), "Interface not supported");
  }
  f.graph.SetActive(true);
  EXPECT_EQ(InterfaceCast<ICaptureGraphBuilder2>(f.graph), f.platform.builders.at(0));
}

}  // namespace
