#include "media/gst/GstCameraControlsPage.h"

#include <gst/base/gstbasetransform.h>
#include <gst/video/colorbalance.h>

#include <QDialog>
#include <QSlider>
#include <QTabWidget>

#include "media/FilterPropertyPages.h"
#include "media/gst/GstCaptureFilter.h"
#include "media/gst/GstDeviceEnumerator.h"
#include "media/gst/GstPropertyFrame.h"
#include "media/gst/GstTestKit.h"

namespace {

using namespace media;
using namespace media::gst;

// The property pages of a synthetic camera's capture filter in a graph, shown
// through the frame with its modal run replaced.
class GstCameraControlsPageTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    cameras.Write("Hall\n");
    camera = GstCaptureFilter::Make(GstDeviceEnumerator::ProbeVideoSources().back().get(), u"Hall");
    ASSERT_TRUE(camera);
    graph->AddFilter(camera, u"Filter1");
  }
  void TearDown() override {
    GstPropertyFrame::SetExecForTesting({});
    graph->Stop();
    BackendTest::TearDown();
  }

  static int Brightness(GstColorBalance* balance) {
    for (const GList* c = gst_color_balance_list_channels(balance); c; c = c->next)
      if (g_str_has_suffix(GST_COLOR_BALANCE_CHANNEL(c->data)->label, "BRIGHTNESS"))
        return gst_color_balance_get_value(balance, GST_COLOR_BALANCE_CHANNEL(c->data));
    return -12345;
  }

  gsttest::CameraFile cameras;
  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();
  std::shared_ptr<GstCaptureFilter> camera;
};

TEST_F(GstCameraControlsPageTest, TheFrameShowsTheCamerasControlsAndAChangeActsAtOnce) {
  auto sink = std::make_shared<gsttest::SinkFilter>();
  graph->AddFilter(sink, u"Sink");
  ASSERT_EQ(graph->Connect(camera->PinOf(PINDIR_OUTPUT), sink->In()), S_OK);
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(gsttest::WaitUntil([&] { return sink->Frames() > 0; }));

  QString title;
  QStringList tabs, sliders;
  int during = 0;
  bool processing = false;
  GstPropertyFrame::SetExecForTesting([&](QDialog& dialog) {
    title = dialog.windowTitle();
    auto* tabWidget = dialog.findChild<QTabWidget*>();
    for (int i = 0; tabWidget && i < tabWidget->count(); ++i) tabs << tabWidget->tabText(i);
    for (auto* slider : dialog.findChildren<QSlider*>()) {
      sliders << slider->objectName();
      if (slider->objectName().endsWith("BRIGHTNESS")) slider->setValue(slider->maximum() / 2);
    }
    during = Brightness(camera->Balance());
    // The software balance of a camera without controls of its own now
    // works on every frame instead of passing it through.
    processing = !gst_base_transform_is_passthrough(GST_BASE_TRANSFORM(camera->Balance()));
    return int(QDialog::Accepted);
  });

  EXPECT_EQ(ShowFilterPropertyPages(nullptr, camera), S_OK);
  EXPECT_EQ(title, "Filter1");
  EXPECT_EQ(tabs, QStringList{QStringLiteral("视频调节")});
  EXPECT_TRUE(sliders.filter("BRIGHTNESS").size() == 1) << sliders.join(",").toStdString();
  EXPECT_GE(sliders.size(), 4);
  ASSERT_NE(camera->Balance(), nullptr);
  EXPECT_GT(during, 0) << "changed while the frame was open";
  EXPECT_TRUE(processing);
}

TEST_F(GstCameraControlsPageTest, AFilterWithoutPagesShowsNothing) {
  auto sink = std::make_shared<gsttest::SinkFilter>();
  graph->AddFilter(sink, u"Sink");
  bool shown = false;
  GstPropertyFrame::SetExecForTesting([&](QDialog&) {
    shown = true;
    return 0;
  });
  EXPECT_EQ(ShowFilterPropertyPages(nullptr, sink), E_NOINTERFACE);
  EXPECT_FALSE(shown);

  GstPropertyFrame frame;
  EXPECT_EQ(frame.Show(nullptr, 0, 0, u"x", {camera}, {GUID{}}, 0), E_INVALIDARG) << "no page can be made";
  EXPECT_FALSE(shown);
}

}  // namespace
