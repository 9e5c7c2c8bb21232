#include "media/gst/GstCameraControlsPage.h"

#include <gst/base/gstbasetransform.h>
#include <gst/video/colorbalance.h>

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>

#include <functional>

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

// How the user leaves the frame after moving the brightness slider to
// `moved`, and what the device holds afterwards.
struct ClosingRow {
  const char* name;
  bool applyThenMoveAgain;  // Apply at `moved`, then move on to `later`
  std::function<void(QDialog&)> close;
  enum { kOpening, kMoved } expected;
};
void PrintTo(const ClosingRow& row, std::ostream* out) { *out << row.name; }

void ClickButton(QDialog& dialog, QDialogButtonBox::StandardButton which) {
  dialog.findChild<QDialogButtonBox*>()->button(which)->click();
}

class GstCameraControlsClosing : public GstCameraControlsPageTest,
                                 public ::testing::WithParamInterface<ClosingRow> {};

TEST_P(GstCameraControlsClosing, OnlyOkOrApplyKeepsWhatTheSliderDid) {
  GstColorBalance* balance = camera->Balance();
  ASSERT_NE(balance, nullptr);
  const int opening = Brightness(balance);
  int moved = 0, later = 0;
  GstPropertyFrame::SetExecForTesting([&](QDialog& dialog) {
    QSlider* slider = nullptr;
    for (auto* s : dialog.findChildren<QSlider*>())
      if (s->objectName().endsWith("BRIGHTNESS")) slider = s;
    if (!slider) return 0;
    moved = slider->maximum() / 2;
    later = slider->minimum() / 2;
    dialog.show();
    slider->setValue(moved);
    if (GetParam().applyThenMoveAgain) {
      ClickButton(dialog, QDialogButtonBox::Apply);
      slider->setValue(later);
    }
    GetParam().close(dialog);
    return dialog.result();
  });
  ASSERT_EQ(ShowFilterPropertyPages(nullptr, camera), S_OK);
  ASSERT_NE(moved, opening) << "the slider was found and moved";
  EXPECT_EQ(Brightness(balance), GetParam().expected == ClosingRow::kMoved ? moved : opening);
}

INSTANTIATE_TEST_SUITE_P(
    Frame, GstCameraControlsClosing,
    ::testing::Values(
        ClosingRow{"Ok", false, [](QDialog& d) { ClickButton(d, QDialogButtonBox::Ok); }, ClosingRow::kMoved},
        ClosingRow{"Cancel", false, [](QDialog& d) { ClickButton(d, QDialogButtonBox::Cancel); }, ClosingRow::kOpening},
        ClosingRow{"Escape", false,
                   [](QDialog& d) {
                     QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                     QCoreApplication::sendEvent(&d, &escape);
                   },
                   ClosingRow::kOpening},
        ClosingRow{"CloseButton", false, [](QDialog& d) { d.close(); }, ClosingRow::kOpening},
        // Cancel returns to what Apply kept, not to the opening value.
        ClosingRow{"CancelAfterApply", true, [](QDialog& d) { ClickButton(d, QDialogButtonBox::Cancel); },
                   ClosingRow::kMoved}),
    [](const auto& info) { return std::string(info.param.name); });

// A camera whose driver offers no controls lists no page, so asking for its
// pages shows nothing, and the caller goes on.
TEST_F(GstCameraControlsPageTest, ACameraWithoutControlsShowsNoFrame) {
  cameras.Write("Hall\nBare [nocontrols]\n");
  std::shared_ptr<GstCaptureFilter> bare;
  for (const auto& device : GstDeviceEnumerator::ProbeVideoSources()) {
    gchar* name = gst_device_get_display_name(device.get());
    if (g_str_equal(name, "Bare")) bare = GstCaptureFilter::Make(device.get(), u"Bare");
    g_free(name);
  }
  ASSERT_TRUE(bare);
  graph->AddFilter(bare, u"Filter2");
  std::vector<CLSID> pages{GUID{}};
  EXPECT_EQ(bare->GetPages(pages), S_OK);
  EXPECT_TRUE(pages.empty());
  bool shown = false;
  GstPropertyFrame::SetExecForTesting([&](QDialog&) {
    shown = true;
    return 0;
  });
  ShowFilterPropertyPages(nullptr, bare);
  EXPECT_FALSE(shown);
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
