#include "media/GraphRunningTable.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "media/fakes/FakeGraph.h"
#include "media/fakes/FakeMediaPlatform.h"

using namespace media;

namespace {

TEST(GraphItemName, HasThePointerInFullWidthAndThePidWithoutLeadingZeros) {
  const void* graph = reinterpret_cast<const void*>(std::uintptr_t{0x00A3F2C8});
  const std::string expected = sizeof(void*) == 8 ? "FilterGraph 0000000000A3F2C8 pid 1F4" : "FilterGraph 00A3F2C8 pid 1F4";
  EXPECT_EQ(GraphItemName(graph, 500), expected);
}

TEST(GraphRunningTable, RegistersUnderTheItemNameAndRevokesByCookie) {
  FakeMediaPlatform platform;
  UnknownPtr graph = std::make_shared<FakeGraph>();
  DWORD cookie = 0;
  ASSERT_EQ(AddGraphToRunningTable(graph, cookie), S_OK);
  ASSERT_NE(cookie, 0u);
  char pid[16];
  std::snprintf(pid, sizeof pid, "%X", static_cast<unsigned>(::getpid()));
  EXPECT_EQ(platform.table->entries.at(cookie), "!" + GraphItemName(graph.get(), ::getpid()));
  EXPECT_NE(platform.table->entries.at(cookie).find(std::string(" pid ") + pid), std::string::npos);

  EXPECT_EQ(RemoveGraphFromRunningTable(cookie), S_OK);
  EXPECT_TRUE(platform.table->entries.empty());
  EXPECT_EQ(RemoveGraphFromRunningTable(cookie), E_INVALIDARG);
}

TEST(GraphRunningTable, FailuresAreAnsweredAndLeaveTheCookie) {
  DWORD cookie = 77;
  {
    FakeMediaPlatform platform;
    platform.table->registerFailure = E_OUTOFMEMORY;
    EXPECT_EQ(AddGraphToRunningTable(std::make_shared<FakeGraph>(), cookie), E_OUTOFMEMORY);
  }
  EXPECT_EQ(cookie, 77u);
}

}  // namespace
