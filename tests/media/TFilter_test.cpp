#include "media/TFilter.h"

#include <gtest/gtest.h>

#include "media/TFilterGraph.h"
#include "media/fakes/FakeMediaPlatform.h"
#include "media/fakes/TestMember.h"

using namespace media;
using Entries = std::vector<std::string>;

namespace {

// A capture source bound to a fake camera, in a capture graph with one other
// member behind it.
struct SourceFixture {
  FakeMediaPlatform platform;
  TFilterGraph graph{"FilterGraph1"};
  TFilter source{"Filter1"};
  TestMember other{"Other", platform.log};
  int camera = platform.devices->Add(u"Camera");

  SourceFixture() {
    graph.SetMode(gmCapture);
    source.BaseFilter().StoreMoniker(std::make_shared<FakeMoniker>(platform.devices, camera));
  }
  std::vector<BaseFilterPtr> GraphFilters() const { return platform.LastGraph()->filters; }
};

TEST(TFilter, HoldsABoundFilterExactlyWhileTheGraphIsActive) {
  SourceFixture f;
  f.source.SetFilterGraph(&f.graph);
  EXPECT_EQ(f.source.GetMemberFilter(), nullptr);
  f.graph.SetActive(true);
  auto filter = f.source.GetMemberFilter();
  ASSERT_NE(filter, nullptr);
  EXPECT_EQ(f.GraphFilters(), std::vector<BaseFilterPtr>{filter});
  EXPECT_EQ(std::dynamic_pointer_cast<FakeFilter>(filter)->nameInGraph, u"Filter1");
  EXPECT_EQ(f.source.Query<IBaseFilter>(), filter);

  f.graph.SetActive(false);
  EXPECT_EQ(f.source.GetMemberFilter(), nullptr);
  EXPECT_EQ(std::dynamic_pointer_cast<FakeFilter>(filter)->stops, 1);
  EXPECT_EQ(f.source.Query<IBaseFilter>(), nullptr);
  f.graph.SetActive(true);
  EXPECT_NE(f.source.GetMemberFilter(), filter);  // bound anew
}

TEST(TFilter, AnEmptyBaseFilterJoinsWithANilFilterAndAnswersNoFilterInterface) {
  FakeMediaPlatform platform;
  TFilterGraph graph;
  TFilter source("Filter1");
  source.SetFilterGraph(&graph);
  graph.SetActive(true);
  EXPECT_EQ(source.GetMemberFilter(), nullptr);
  EXPECT_EQ(platform.log.entries, Entries{"graph.AddFilter nil"});
  EXPECT_EQ(source.Query<IBaseFilter>(), nullptr);
  EXPECT_NE(source.Query<IGraphMember>(), nullptr);
}

TEST(TFilter, RefreshWhileActiveGoesOutAndBackInAndEndsLast) {
  SourceFixture f;
  f.source.SetFilterGraph(&f.graph);
  f.other.SetFilterGraph(&f.graph);
  f.graph.SetActive(true);
  auto before = f.source.GetMemberFilter();
  f.platform.log.Clear();

  f.source.NotifyMember(moRefresh, 0);
  EXPECT_EQ(f.platform.log.entries, (Entries{"graph.RemoveFilter Filter1", "graph.AddFilter Filter1"}));
  ASSERT_EQ(f.GraphFilters().size(), 2u);
  EXPECT_EQ(f.GraphFilters()[0], f.other.filter);
  EXPECT_EQ(f.GraphFilters()[1], f.source.GetMemberFilter());
  EXPECT_NE(f.source.GetMemberFilter(), before);

  // The graph now adds the source after the other member.
  f.graph.SetActive(false);
  f.platform.log.Clear();
  f.graph.SetActive(true);
  EXPECT_EQ(f.platform.log.entries[0], "Other.moAdding");
}

TEST(TFilter, RefreshWithoutAGraphDoesNothing) {
  SourceFixture f;
  f.source.NotifyMember(moRefresh, 0);
  EXPECT_EQ(f.source.FilterGraph(), nullptr);
  EXPECT_TRUE(f.platform.log.entries.empty());
}

TEST(TFilter, DestructionDetachesFromTheGraphAndAGraphDestroyedFirstIsForgotten) {
  SourceFixture f;
  {
    TFilter temporary("Filter2");
    temporary.SetFilterGraph(&f.graph);
    f.graph.SetActive(true);
  }
  EXPECT_TRUE(f.GraphFilters().empty());

  auto graph = std::make_unique<TFilterGraph>();
  f.source.SetFilterGraph(graph.get());
  graph.reset();
  EXPECT_EQ(f.source.FilterGraph(), nullptr);
}

}  // namespace
