#include "media/gst/GstSmartTee.h"

#include <mutex>
#include <string>
#include <vector>

#include "media/framework/Identifiers.h"
#include "media/gst/GstTestKit.h"

namespace {

// GStreamer's own warnings (a pad that got data before its stream started,
// and the like) while it lives; they come from any streaming thread.
class GstWarnings {
 public:
  GstWarnings() { handler_ = g_log_set_handler("GStreamer", G_LOG_LEVEL_WARNING, &GstWarnings::Record, this); }
  ~GstWarnings() { g_log_remove_handler("GStreamer", handler_); }
  std::vector<std::string> Texts() const {
    std::lock_guard lock(mutex_);
    return texts_;
  }

 private:
  static void Record(const gchar*, GLogLevelFlags, const gchar* text, gpointer self) {
    auto* warnings = static_cast<GstWarnings*>(self);
    std::lock_guard lock(warnings->mutex_);
    warnings->texts_.emplace_back(text);
  }
  guint handler_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> texts_;
};

using namespace media;
using namespace media::gst;
using gsttest::SinkFilter;
using gsttest::SourceFilter;
using gsttest::WaitUntil;

class GstSmartTeeTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    ASSERT_TRUE(tee);
    graph->AddFilter(source, u"Source");
    graph->AddFilter(tee, u"Smart Tee");
    ASSERT_EQ(graph->ConnectDirect(source->Out(), tee->Input(), nullptr), S_OK);
  }

  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();
  std::shared_ptr<SourceFilter> source = std::make_shared<SourceFilter>();
  std::shared_ptr<GstSmartTee> tee = GstSmartTee::Make();
};

TEST_F(GstSmartTeeTest, HasAnInputAndACaptureAndAPreviewOutput) {
  std::vector<std::u16string> names;
  for (const auto& pin : tee->Pins()) names.push_back(pin->Name());
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Input", u"Capture", u"Preview"}));
  EXPECT_EQ(tee->Capture()->Category(), PIN_CATEGORY_CAPTURE);
  EXPECT_EQ(tee->Preview()->Category(), PIN_CATEGORY_PREVIEW);
}

// The capture branch keeps receiving every frame while the preview's
// consumer is stuck.
TEST_F(GstSmartTeeTest, AStuckPreviewDoesNotHoldBackTheCapture) {
  auto capture = std::make_shared<SinkFilter>(), preview = std::make_shared<SinkFilter>();
  graph->AddFilter(capture, u"Capture");
  graph->AddFilter(preview, u"Preview");
  ASSERT_EQ(graph->ConnectDirect(tee->Capture(), capture->In(), nullptr), S_OK);
  ASSERT_EQ(graph->ConnectDirect(tee->Preview(), preview->In(), nullptr), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(WaitUntil([&] { return preview->Frames() >= 1 && capture->Frames() >= 1; }))
      << preview->Frames() << " " << capture->Frames();
  preview->Block(true);
  const int previewBefore = preview->Frames(), captureBefore = capture->Frames();

  EXPECT_TRUE(WaitUntil([&] { return capture->Frames() >= captureBefore + 15; }));
  EXPECT_LE(preview->Frames(), previewBefore + 1);
  preview->Block(false);
  EXPECT_TRUE(WaitUntil([&] { return preview->Frames() >= 3; })) << "the preview resumes with newer frames";
  EXPECT_EQ(graph->Stop(), S_OK);
}

// Without a capture peer the preview skips its queue; once the capture is
// connected for a later run, the queue is back and both get frames.
TEST_F(GstSmartTeeTest, APreviewWithoutCaptureIsFedStraightUntilTheCaptureIsConnected) {
  auto capture = std::make_shared<SinkFilter>(), preview = std::make_shared<SinkFilter>();
  graph->AddFilter(capture, u"Capture");
  graph->AddFilter(preview, u"Preview");
  ASSERT_EQ(graph->ConnectDirect(tee->Preview(), preview->In(), nullptr), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  EXPECT_TRUE(tee->PreviewIsDirect());
  EXPECT_TRUE(WaitUntil([&] { return preview->Frames() >= 3; }));
  EXPECT_EQ(graph->Stop(), S_OK);

  ASSERT_EQ(graph->ConnectDirect(tee->Capture(), capture->In(), nullptr), S_OK);
  const int before = preview->Frames();
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  EXPECT_FALSE(tee->PreviewIsDirect());
  EXPECT_TRUE(WaitUntil([&] { return preview->Frames() >= before + 3 && capture->Frames() >= 3; }))
      << preview->Frames() << " " << capture->Frames();
  EXPECT_EQ(graph->Stop(), S_OK);
}

// With one output unconnected the other still runs, neither branch sees a
// frame before its stream's start, and the end of the stream (a drain) is no
// error.
TEST_F(GstSmartTeeTest, EitherOutputMayStayUnconnected) {
  for (bool previewOnly : {true, false}) {
    SCOPED_TRACE(previewOnly ? "preview only" : "capture only");
    const GstWarnings warnings;
    auto sink = std::make_shared<SinkFilter>("", true);
    graph->AddFilter(sink, u"Sink");
    ASSERT_EQ(graph->ConnectDirect(previewOnly ? tee->Preview() : tee->Capture(), sink->In(), nullptr), S_OK);
    ASSERT_TRUE(SUCCEEDED(graph->Run()));
    EXPECT_TRUE(WaitUntil([&] { return sink->Frames() >= 3; }));
    EXPECT_EQ(graph->Stop(), S_OK);
    EXPECT_TRUE(sink->SawEndOfStream());
    LONG code;
    LONG_PTR p1, p2;
    while (graph->GetEvent(code, p1, p2, 0) == S_OK) EXPECT_NE(code, 3 /* EC_ERRORABORT */) << std::hex << p1;
    EXPECT_EQ(warnings.Texts(), std::vector<std::string>{});
    graph->RemoveFilter(sink);
  }
}

}  // namespace
