#include "media/TPinList.h"

#include <gtest/gtest.h>

#include "media/TFilterList.h"
#include "media/fakes/FakeFilter.h"
#include "media/fakes/FakeGraph.h"

using namespace media;

namespace {

TEST(TPinList, OfNilFilterIsEmpty) { EXPECT_EQ(TPinList(nullptr).Count(), 0u); }

TEST(TPinList, IsASnapshotInTheFiltersOrder) {
  auto filter = std::make_shared<FakeFilter>("F", 3);
  TPinList pins(filter);
  filter->pins.pop_back();
  ASSERT_EQ(pins.Count(), 3u);
  EXPECT_EQ(pins.Item(0), filter->pins[0]);
  EXPECT_EQ(pins.Item(1), filter->pins[1]);
}

TEST(TFilterList, IsASnapshotAndRemoveTakesOutOnlyTheFirstSameReference) {
  auto graph = std::make_shared<FakeGraph>();
  auto a = std::make_shared<FakeFilter>("A"), b = std::make_shared<FakeFilter>("B");
  graph->AddFilter(a, u"A");
  graph->AddFilter(b, u"B");
  TFilterList list(graph);
  graph->RemoveFilter(a);
  ASSERT_EQ(list.Count(), 2u);
  list.Remove(std::make_shared<FakeFilter>("other"));
  EXPECT_EQ(list.Count(), 2u);
  list.Remove(a);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Item(0), b);
}

}  // namespace
