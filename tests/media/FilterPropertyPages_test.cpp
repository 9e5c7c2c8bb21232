#include "media/FilterPropertyPages.h"

#include <gtest/gtest.h>

#include "media/fakes/FakeFilter.h"
#include "media/fakes/FakeGraph.h"
#include "media/fakes/FakeMediaPlatform.h"
#include "media/framework/Identifiers.h"

using namespace media;

namespace {

constexpr CLSID kPage{0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};

// A filter with both driver dialog interfaces that records what it is asked.
class DialogFilter : public FakeFilter, public IAMVfwCaptureDialogs, public IAMVfwCompressDialogs {
 public:
  DialogFilter() : FakeFilter("Dialogs") {}
  std::vector<std::string> calls;
  int missingDialog = -1;  // HasDialog / the query answers S_FALSE for this code

  HRESULT HasDialog(int dialog) override {
    calls.push_back("Has " + std::to_string(dialog));
    return dialog == missingDialog ? S_FALSE : S_OK;
  }
  HRESULT ShowDialog(int dialog, OAHWND parent) override {
    calls.push_back("Show " + std::to_string(dialog) + (parent ? " parent" : " none"));
    return dialog == missingDialog ? S_FALSE : S_OK;
  }
};

TEST(ShowFilterPropertyPages, NilFilterOrUnknownKindAnswersSFalseAndShowsNothing) {
  FakeMediaPlatform platform;
  EXPECT_EQ(ShowFilterPropertyPages(nullptr, nullptr, pkFilterPages), S_FALSE);
  EXPECT_EQ(ShowFilterPropertyPages(nullptr, std::make_shared<FakePagedFilter>("F"), 6), S_FALSE);
  EXPECT_TRUE(platform.frame->shown.empty());
}

TEST(ShowFilterPropertyPages, ShowsTheFramesWithTheFiltersNameInItsGraph) {
  FakeMediaPlatform platform;
  auto graph = std::make_shared<FakeGraph>();
  auto filter = std::make_shared<FakePagedFilter>("camera");
  filter->pages = {kPage};
  graph->AddFilter(filter, u"Filter1");
  platform.frame->result = MakeResult(0x00000007);

  EXPECT_EQ(ShowFilterPropertyPages(nullptr, filter, pkFilterPages), MakeResult(0x00000007));
  ASSERT_EQ(platform.frame->shown.size(), 1u);
  EXPECT_EQ(platform.frame->shown[0].caption, u"Filter1");
  EXPECT_EQ(platform.frame->shown[0].pages, std::vector<CLSID>{kPage});
  ASSERT_EQ(platform.frame->shown[0].objects.size(), 1u);
  EXPECT_EQ(Query<IBaseFilter>(platform.frame->shown[0].objects[0]), filter);
}

TEST(ShowFilterPropertyPages, AnEarlierStepsAnswerIsReturnedAndNothingShown) {
  FakeMediaPlatform platform;
  EXPECT_EQ(ShowFilterPropertyPages(nullptr, std::make_shared<FakeFilter>("no pages"), pkFilterPages),
            E_NOINTERFACE);
  auto failing = std::make_shared<FakePagedFilter>("failing");
  failing->pagesResult = E_OUTOFMEMORY;
  EXPECT_EQ(ShowFilterPropertyPages(nullptr, failing, pkFilterPages), E_OUTOFMEMORY);
  EXPECT_EQ(ShowFilterPropertyPages(nullptr, std::make_shared<FakeFilter>("no dialogs"), pkCaptureFormat),
            E_NOINTERFACE);
  EXPECT_TRUE(platform.frame->shown.empty());
}

struct DialogCase {
  const char* name;
  int kind;
  int missing;
  HRESULT result;
  std::vector<std::string> calls;
};

class DriverDialogs : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DriverDialogs, AskFirstAndShowOnlyWhatExists) {
  auto filter = std::make_shared<DialogFilter>();
  filter->missingDialog = GetParam().missing;
  EXPECT_EQ(ShowFilterPropertyPages(nullptr, filter, GetParam().kind), GetParam().result);
  EXPECT_EQ(filter->calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DriverDialogs,
    ::testing::Values(DialogCase{"CaptureDisplay", pkCaptureDisplay, -1, S_OK, {"Has 4", "Show 4 none"}},
                      DialogCase{"CaptureFormat", pkCaptureFormat, -1, S_OK, {"Has 2", "Show 2 none"}},
                      DialogCase{"CaptureSource", pkCaptureSource, -1, S_OK, {"Has 1", "Show 1 none"}},
                      DialogCase{"CaptureMissing", pkCaptureSource, 1, S_FALSE, {"Has 1"}},
                      DialogCase{"CompressorConfig", pkCompressorConfig, -1, S_OK, {"Show 4 none", "Show 1 none"}},
                      DialogCase{"CompressorAbout", pkCompressorAbout, -1, S_OK, {"Show 8 none", "Show 2 none"}},
                      DialogCase{"CompressorMissing", pkCompressorAbout, 8, S_FALSE, {"Show 8 none"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
