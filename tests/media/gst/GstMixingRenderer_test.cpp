#include "media/gst/GstMixingRenderer.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <cstdlib>

#include "media/MediaErrors.h"
#include "media/TFilter.h"
#include "media/TFilterGraph.h"
#include "media/TSysDevEnum.h"
#include "media/TVMRBitmap.h"
#include "media/TVideoWindow.h"
#include "media/TVideoWindowPopup.h"
#include "media/framework/EventCodes.h"
#include "media/framework/Identifiers.h"
#include "media/gst/GstTestKit.h"

namespace {

using namespace media;
using namespace media::gst;
using gsttest::WaitUntil;

class GstMixingRendererTest : public gsttest::BackendTest {
 protected:
  std::shared_ptr<GstMixingRenderer> renderer = GstMixingRenderer::Make();
};

TEST_F(GstMixingRendererTest, TheMixerIsThereOnlyOnceTheStreamCountIsSet) {
  ASSERT_TRUE(renderer);
  EXPECT_EQ(Query<IVMRMixerBitmap9>(renderer), nullptr);
  DWORD streams = 0;
  EXPECT_EQ(renderer->GetNumberOfStreams(streams), VFW_E_WRONG_STATE);
  EXPECT_EQ(renderer->SetNumberOfStreams(0), E_INVALIDARG);
  EXPECT_EQ(renderer->SetNumberOfStreams(17), E_INVALIDARG);
  EXPECT_EQ(renderer->SetNumberOfStreams(16), S_OK);
  EXPECT_NE(Query<IVMRMixerBitmap9>(renderer), nullptr);
  EXPECT_EQ(renderer->GetNumberOfStreams(streams), S_OK);
  EXPECT_EQ(streams, 16u);
  EXPECT_EQ(renderer->SetNumberOfStreams(4), VFW_E_WRONG_STATE);  // once
  EXPECT_EQ(renderer->Pins().size(), 1u);
}

TEST_F(GstMixingRendererTest, PreferencesModesAndAspectKeepWhatTheyAreGivenOrRefuseIt) {
  DWORD value = 0;
  EXPECT_EQ(renderer->SetRenderingPrefs(0x1B), S_OK);
  renderer->GetRenderingPrefs(value);
  EXPECT_EQ(value, 0x1Bu);
  EXPECT_EQ(renderer->SetRenderingMode(VMR9Mode_Renderless), E_NOTIMPL);
  EXPECT_EQ(renderer->SetRenderingMode(3), E_INVALIDARG);
  renderer->GetRenderingMode(value);
  EXPECT_EQ(value, VMR9Mode_Windowed);
  EXPECT_EQ(renderer->SetAspectRatioMode(2), E_INVALIDARG);
  EXPECT_EQ(renderer->SetAspectRatioMode(VMR9ARMode_LetterBox), S_OK);
  EXPECT_TRUE(renderer->Window()->Letterbox());
  RECT source, target;
  EXPECT_EQ(renderer->GetVideoPosition(source, target), VFW_E_WRONG_STATE);  // windowed
}

TEST_F(GstMixingRendererTest, WindowlessItDrawsIntoTheClippingWindowAndLetsInputThrough) {
  QWidget control;
  control.resize(200, 100);
  control.show();
  ASSERT_EQ(renderer->SetRenderingMode(VMR9Mode_Windowless), S_OK);
  EXPECT_EQ(renderer->put_Owner(&control), VFW_E_WRONG_STATE);
  ASSERT_EQ(renderer->SetVideoClippingWindow(&control), S_OK);
  const RECT target{10, 5, 110, 85};
  ASSERT_EQ(renderer->SetVideoPosition(nullptr, &target), S_OK);
  RendererWindow* window = renderer->Window();
  EXPECT_EQ(window->parentWidget(), &control);
  EXPECT_EQ(window->geometry(), QRect(10, 5, 100, 80));
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->testAttribute(Qt::WA_TransparentForMouseEvents));
  EXPECT_EQ(renderer->SetVideoPosition(nullptr, nullptr), E_POINTER);

  const RECT part{0, 0, 160, 120};
  ASSERT_EQ(renderer->SetVideoPosition(&part, nullptr), S_OK);  // the destination stays
  RECT source, destination;
  renderer->GetVideoPosition(source, destination);
  EXPECT_EQ(source, part);
  EXPECT_EQ(destination, target);
}

TEST_F(GstMixingRendererTest, ConfigurationIsFixedOnceTheInputIsConnectedAndEachRunReportsTheDevice) {
  auto graph = gsttest::NewGraph();
  auto source = std::make_shared<gsttest::SourceFilter>();
  graph->AddFilter(source, u"Source");
  graph->AddFilter(renderer, u"VideoWindow1");
  ASSERT_EQ(graph->Connect(source->Out(), renderer->PinOf(PINDIR_INPUT)), S_OK);
  EXPECT_EQ(renderer->SetRenderingMode(VMR9Mode_Windowless), VFW_E_WRONG_STATE);
  EXPECT_EQ(renderer->SetNumberOfStreams(4), VFW_E_WRONG_STATE);

  int announced = 0;
  const auto drain = [&] {
    LONG code;
    LONG_PTR p1, p2;
    while (graph->GetEvent(code, p1, p2, 0) == S_OK) {
      announced += code == EC_VMR_RENDERDEVICE_SET;
      graph->FreeEventParams(code, p1, p2);
    }
    return announced;
  };
  for (int run = 1; run <= 2; ++run) {
    ASSERT_TRUE(SUCCEEDED(graph->Run()));
    EXPECT_TRUE(WaitUntil([&] { return drain() == run; }));
    gsttest::ProcessEvents(std::chrono::milliseconds(200));
    EXPECT_EQ(drain(), run) << "once per run";
    graph->Stop();
  }
}

// A synthetic camera previewed into a mixing-renderer video window that lies
// at the top left of a form, as a channel shows it.
class LiveVideoWindowTest : public gsttest::BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    cameras.Write("Lobby\n");
    form.resize(640, 480);
    form.show();
    window.setGeometry(0, 0, 320, 240);
    window.SetMode(vmVMR);
    ASSERT_EQ(window.Mode(), vmVMR);
    graph.SetMode(gmCapture);
    source.SetFilterGraph(&graph);
    window.SetFilterGraph(&graph);
    TSysDevEnum devices(CLSID_VideoInputDeviceCategory);
    source.BaseFilter().StoreMoniker(devices.GetDeviceMoniker(0));
    graph.SetActive(true);
    auto builder = graph.Query<ICaptureGraphBuilder2>();
    ASSERT_TRUE(builder);
    ASSERT_TRUE(SUCCEEDED(builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Video,
                                                source.Query<IBaseFilter>(), nullptr,
                                                window.Query<IBaseFilter>())));
    ASSERT_TRUE(graph.Play());
    renderer = std::dynamic_pointer_cast<GstMixingRenderer>(window.GetMemberFilter());
    ASSERT_TRUE(renderer);
    // Playing: a picture, and the renderer has reported its device.
    ASSERT_TRUE(WaitUntil([&] { return !renderer->OutputImage().isNull() && window.VideoHandle() != nullptr; }));
  }
  void TearDown() override {
    graph.Stop();
    graph.SetActive(false);
    BackendTest::TearDown();
  }
  RendererWindow* Shown() const { return renderer->Window(); }
  void SendMouse(QEvent::Type type, Qt::MouseButton button, QPoint at) {
    QMouseEvent event(type, at, Shown()->mapToGlobal(QPointF(at)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(Shown(), &event);
  }

  gsttest::CameraFile cameras;
  QWidget form;
  TFilterGraph graph{"FilterGraph1"};
  TFilter source{"Filter1"};
  TVideoWindow window{&form, "VideoWindow1"};
  std::shared_ptr<GstMixingRenderer> renderer;
};

TEST_F(LiveVideoWindowTest, ThePictureReachesTheWindowOverTheControlAndKeepsMoving) {
  EXPECT_EQ(Shown()->parentWidget(), &form);
  EXPECT_EQ(Shown()->geometry(), window.geometry());
  EXPECT_TRUE(Shown()->isVisible());
  EXPECT_EQ(window.VideoHandle(), Shown());
  EXPECT_EQ(Shown()->windowTitle(), "VideoWindow1");
  EXPECT_NE(Query<IVMRMixerBitmap9>(renderer), nullptr);  // the defaults load the mixer
  const QImage first = Shown()->grab().toImage();
  EXPECT_TRUE(WaitUntil([&] { return Shown()->grab().toImage() != first; }));
}

TEST_F(LiveVideoWindowTest, ClicksAndDoubleClicksOverTheVideoReachTheControl) {
  std::vector<std::string> seen;
  window.OnClick = [&](TVideoWindow& sender) { seen.push_back("click " + sender.Name()); };
  window.OnDblClick = [&](TVideoWindow&) { seen.push_back("double"); };
  SendMouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(50, 50));
  SendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(50, 50));
  SendMouse(QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(50, 50));
  SendMouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(50, 50));
  EXPECT_EQ(seen, (std::vector<std::string>{"click VideoWindow1", "double"}));
}

TEST_F(LiveVideoWindowTest, AResizeMovesTheRendererWindowExceptInFullScreen) {
  window.resize(200, 150);
  EXPECT_EQ(Shown()->geometry(), QRect(0, 0, 200, 150));

  window.SetFullScreen(true);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_TRUE(Shown()->isWindow());
  EXPECT_TRUE(Shown()->isFullScreen());
  EXPECT_EQ(Shown()->geometry(), screen);
  window.resize(300, 200);
  EXPECT_EQ(Shown()->geometry(), screen);

  window.SetFullScreen(false);
  EXPECT_EQ(Shown()->parentWidget(), &form);
  EXPECT_EQ(Shown()->geometry(), QRect(0, 0, 300, 200));
  EXPECT_TRUE(Shown()->isVisible());
}

TEST_F(LiveVideoWindowTest, ARightClickOnTheFullScreenVideoOpensTheMenuForThisWindow) {
  TVideoWindow other(&form, "VideoWindow2");
  QMenu menu;
  TVideoWindowPopup::Record(menu, &other);
  window.SetPopupMenu(&menu);
  window.SetFullScreen(true);
  const QPoint at(400, 300);
  QContextMenuEvent request(QContextMenuEvent::Mouse, at, Shown()->mapToGlobal(at));
  QApplication::sendEvent(Shown(), &request);
  EXPECT_TRUE(menu.isVisible());
  EXPECT_EQ(TVideoWindowPopup::ComponentOf(menu), &window);
  menu.close();
}

// The recording indicator: red text on a silver bitmap of the window's size,
// silver as the colour key, at half opacity over the whole video.
TEST_F(LiveVideoWindowTest, TheIndicatorShowsHalfTransparentAtTheTopLeftAndSilverStaysOut) {
  // Frames come scaled to the window in the pipeline soon after the first.
  ASSERT_TRUE(WaitUntil([&] { return renderer->LastFrame().size() == window.size(); }));
  QImage drawn;
  {
    TVMRBitmap overlay(&window);
    overlay.MakeBlankBitmap(window.width(), window.height(), gdi::pf24bit, gdi::RGB(192, 192, 192));
    overlay.SetSourceRect(overlay.Surface().ClipRect());
    overlay.SetOverlayOptions(overlay.OverlayOptions() | OverlayBit(ooColorKey));
    overlay.SetKeyColor(gdi::RGB(192, 192, 192));
    gdi::TCanvas& surface = overlay.Surface();
    surface.Brush.Color = gdi::RGB(192, 192, 192);
    surface.Font.Color = gdi::RGB(255, 0, 0);
    surface.Font.Style = gdi::FontStyles(gdi::fsBold);
    surface.Font.Size = 18;
    surface.Font.Name = "宋体";
    surface.TextOut(0, 0, "●");
    overlay.PlaceOverlay(0.0f, 0.0f, 1.0f, 1.0f, 0.5f);
    drawn = overlay.Overlay().hdc->convertToFormat(QImage::Format_RGB32);
  }
  // The renderer keeps its copy after the overlay is gone; frames keep coming.
  const QImage before = renderer->LastFrame();
  ASSERT_TRUE(WaitUntil([&] { return renderer->LastFrame() != before; }));
  const QImage frame = renderer->LastFrame().convertToFormat(QImage::Format_RGB32);
  const QImage output = renderer->OutputImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(frame.size(), drawn.size());
  ASSERT_EQ(output.size(), frame.size());

  int red = 0;
  QRect redArea;
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x) {
      const QRgb mark = drawn.pixel(x, y) & RGB_MASK, under = frame.pixel(x, y), shown = output.pixel(x, y);
      if (mark == 0xC0C0C0) {
        ASSERT_EQ(shown & RGB_MASK, under & RGB_MASK) << "silver shows at " << x << "," << y;
      } else if (mark == 0xFF0000) {
        ++red;
        redArea |= QRect(x, y, 1, 1);
        EXPECT_NEAR(qRed(shown), (255 + qRed(under)) / 2, 3) << x << "," << y;
        EXPECT_NEAR(qGreen(shown), qGreen(under) / 2, 3) << x << "," << y;
        EXPECT_NEAR(qBlue(shown), qBlue(under) / 2, 3) << x << "," << y;
      }
    }
  EXPECT_GT(red, 100);
  EXPECT_LT(redArea.right(), 40);
  EXPECT_LT(redArea.bottom(), 40);
}

}  // namespace
