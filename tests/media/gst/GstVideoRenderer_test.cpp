#include "media/gst/GstVideoRenderer.h"

#include <QElapsedTimer>
#include <QThread>
#include <atomic>

#include "media/framework/Identifiers.h"
#include "media/gst/GstTestKit.h"
#include "media/gst/RendererWindow.h"

namespace {

using namespace media;
using namespace media::gst;
using gsttest::WaitUntil;

// Makes the test picture of a source move (the default pattern stands
// still).
void MovingPicture(GstFilter& source) {
  const GstIteratorPtr it(gst_bin_iterate_elements(GST_BIN(source.Bin())));
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(it.get(), &item) == GST_ITERATOR_OK) {
    GObject* element = G_OBJECT(g_value_get_object(&item));
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), "pattern"))
      gst_util_set_object_arg(element, "pattern", "ball");
    g_value_reset(&item);
  }
  g_value_unset(&item);
}

// A 320x240 live source connected to a classic renderer whose window lies in
// a parent widget, as a video window places it.
class GstVideoRendererTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    ASSERT_TRUE(renderer);
    MovingPicture(*source);
    parent.resize(400, 300);
    parent.show();
    graph->AddFilter(source, u"Source");
    graph->AddFilter(renderer, u"VideoWindow1");
    ASSERT_EQ(graph->Connect(source->Out(), renderer->PinOf(PINDIR_INPUT)), S_OK);
    renderer->put_Owner(&parent);
    renderer->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    renderer->SetWindowPosition(10, 10, 320, 240);
  }
  void TearDown() override {
    graph->Stop();
    BackendTest::TearDown();
  }
  bool WaitForFrameOf(QSize size) {
    return WaitUntil([&] { return renderer->LastFrame().size() == size; });
  }

  QWidget parent;
  std::shared_ptr<GstFilterGraph> graph = gsttest::NewGraph();
  std::shared_ptr<gsttest::SourceFilter> source = std::make_shared<gsttest::SourceFilter>();
  std::shared_ptr<GstVideoRenderer> renderer = GstVideoRenderer::Make();
};

TEST_F(GstVideoRendererTest, ThePictureReachesTheWindowWhichShowsItselfAndFollowsTheStream) {
  EXPECT_FALSE(renderer->Window()->isVisible());
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(WaitForFrameOf(QSize(320, 240)));
  EXPECT_TRUE(renderer->Window()->isVisible());  // shown with the first frame
  const QImage first = renderer->Window()->grab().toImage();
  EXPECT_TRUE(WaitUntil([&] { return renderer->Window()->grab().toImage() != first; }));
  EXPECT_EQ(renderer->OutputImage(), renderer->LastFrame());  // nothing drawn over it
}

TEST_F(GstVideoRendererTest, AStalledUserInterfaceDropsFramesButNeverHoldsBackTheStream) {
  auto passed = std::make_shared<std::atomic<int>>(0);
  gst_pad_add_probe(
      source->Out()->Pad(), GST_PAD_PROBE_TYPE_BUFFER,
      [](GstPad*, GstPadProbeInfo*, gpointer count) -> GstPadProbeReturn {
        ++**static_cast<std::shared_ptr<std::atomic<int>>*>(count);
        return GST_PAD_PROBE_OK;
      },
      new std::shared_ptr<std::atomic<int>>(passed),
      [](gpointer p) { delete static_cast<std::shared_ptr<std::atomic<int>>*>(p); });
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(WaitForFrameOf(QSize(320, 240)));

  const int before = passed->load();
  QThread::msleep(700);  // the user-interface thread takes no frame meanwhile
  EXPECT_GE(passed->load() - before, 12) << "the source was held back";
  EXPECT_TRUE(WaitUntil([&] { return passed->load() > before + 25; }));
}

TEST_F(GstVideoRendererTest, FramesAreMadeSmallerInThePipelineOnlyForASmallerWindow) {
  ASSERT_TRUE(SUCCEEDED(graph->Run()));
  ASSERT_TRUE(WaitForFrameOf(QSize(320, 240)));
  renderer->SetWindowPosition(10, 10, 160, 120);
  EXPECT_TRUE(WaitForFrameOf(QSize(160, 120)));
  // Exactly the window's size, odd or not, so that painting copies it as is.
  renderer->SetWindowPosition(10, 10, 159, 119);
  EXPECT_TRUE(WaitForFrameOf(QSize(159, 119))) << renderer->LastFrame().width() << "x" << renderer->LastFrame().height();
  renderer->SetWindowPosition(0, 0, 400, 300);
  EXPECT_TRUE(WaitForFrameOf(QSize(320, 240)));  // larger windows scale at painting
  const QImage shown = renderer->Window()->grab().toImage();
  EXPECT_EQ(shown.size(), QSize(400, 300));
}

TEST_F(GstVideoRendererTest, TheClassicRendererHasNoMixingRendererInterfaces) {
  EXPECT_EQ(Query<IVMRFilterConfig9>(renderer), nullptr);
  EXPECT_EQ(Query<IVMRWindowlessControl9>(renderer), nullptr);
  EXPECT_EQ(Query<IVMRAspectRatioControl9>(renderer), nullptr);
  EXPECT_EQ(Query<IVMRMixerBitmap9>(renderer), nullptr);
  EXPECT_NE(Query<IVideoWindow>(renderer), nullptr);
  CLSID clsid;
  renderer->GetClassID(clsid);
  EXPECT_EQ(clsid, CLSID_VideoRenderer);
}

TEST_F(GstVideoRendererTest, TheWindowKeepsWhatItIsToldAndTheCaptionIsItsTitle) {
  EXPECT_EQ(renderer->put_Caption(u"VideoWindow1"), S_OK);
  std::u16string caption;
  renderer->get_Caption(caption);
  EXPECT_EQ(caption, u"VideoWindow1");
  EXPECT_EQ(renderer->Window()->windowTitle(), "VideoWindow1");
  LONG left, top, width, height;
  renderer->GetWindowPosition(left, top, width, height);
  EXPECT_EQ(QRect(left, top, width, height), QRect(10, 10, 320, 240));
  EXPECT_EQ(renderer->SetWindowPosition(0, 0, -1, 10), E_INVALIDARG);
  OAHWND owner = nullptr;
  renderer->get_Owner(owner);
  EXPECT_EQ(owner, &parent);
  renderer->put_Visible(OATRUE);
  EXPECT_TRUE(renderer->Window()->isVisible());
  renderer->put_Visible(OAFALSE);
  EXPECT_FALSE(renderer->Window()->isVisible());
}

}  // namespace
