#include "media/TVideoWindow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <algorithm>

#include "media/MediaErrors.h"
#include "media/TFilterGraph.h"
#include "media/TVideoWindowPopup.h"
#include "media/fakes/FakeMediaPlatform.h"
#include "media/fakes/FakeRenderer.h"
#include "media/framework/EventCodes.h"
#include "media/gst/GstTestKit.h"

using namespace media;
using ::testing::ElementsAre;
using ::testing::IsSubsetOf;
using Entries = std::vector<std::string>;

namespace {

constexpr LONG kChildControlStyle = 0x46010000;  // child, clip siblings and children, tab stop

// A form with a video window at (10, 20) in a capture graph, over fake
// platform objects and fake renderers.
struct WindowFixture {
  FakeMediaPlatform platform;
  FakeRenderers renderers{&platform.log};
  QWidget form;
  TFilterGraph graph{"FilterGraph1"};
  TVideoWindow window{&form, "VideoWindow1"};

  WindowFixture() {
    form.setObjectName("form");
    form.resize(400, 300);
    form.show();
    window.setGeometry(10, 20, 160, 120);
    graph.SetMode(gmCapture);
    window.SetFilterGraph(&graph);
    window.Loaded();
  }
  // Renderer calls only (the graph's own entries left out), since the mark.
  Entries Calls() const {
    Entries calls;
    for (const auto& e : platform.log.entries)
      if (e.rfind("graph.", 0) != 0) calls.push_back(e);
    return calls;
  }
  std::shared_ptr<FakeMixingRenderer> Mixing() const { return renderers.mixing.back(); }
  std::shared_ptr<FakeClassicRenderer> Classic() const { return renderers.classic.back(); }
  void ActivateVmr() {
    window.SetMode(vmVMR);
    graph.SetActive(true);
  }
  static std::string ScreenPosition() {
    const QRect s = QGuiApplication::primaryScreen()->geometry();
    return "SetWindowPosition " + std::to_string(s.x()) + "," + std::to_string(s.y()) + "," +
           std::to_string(s.width()) + "," + std::to_string(s.height());
  }
};

TEST(TVideoWindow, StartsAsABlackControlWithoutARenderer) {
  WindowFixture f;
  EXPECT_EQ(f.window.size(), QSize(160, 120));
  EXPECT_EQ(f.window.Color(), QColor(Qt::black));
  EXPECT_EQ(f.window.Mode(), vmNormal);
  EXPECT_EQ(f.window.VMROptions().Mode(), vmrWindowed);
  EXPECT_EQ(f.window.VMROptions().Streams(), 4u);
  EXPECT_EQ(f.window.VMROptions().Preferences(), PreferenceBit(vpForceMixer));
  EXPECT_TRUE(f.window.VMROptions().KeepAspectRatio());
  EXPECT_FALSE(f.window.FullScreen());
  EXPECT_EQ(f.window.accessibleName(), "VideoWindow1");
  EXPECT_EQ(f.window.focusPolicy(), Qt::StrongFocus);
  EXPECT_EQ(f.window.GetMemberFilter(), nullptr);
  EXPECT_EQ(f.window.VideoHandle(), &f.window);  // the canvas without a renderer window
  f.window.SetName("VideoWindow2");
  EXPECT_EQ(f.window.accessibleName(), "VideoWindow2");
}

struct StreamsRow {
  const char* name;
  DWORD given;
  DWORD stored;
};

class TVideoWindowStreams : public ::testing::TestWithParam<StreamsRow> {};

TEST_P(TVideoWindowStreams, ValuesOutsideOneToSixteenBecomeOne) {
  WindowFixture f;
  f.window.VMROptions().SetStreams(GetParam().given);
  EXPECT_EQ(f.window.VMROptions().Streams(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Values, TVideoWindowStreams,
                         ::testing::Values(StreamsRow{"Zero", 0, 1}, StreamsRow{"One", 1, 1},
                                           StreamsRow{"Sixteen", 16, 16}, StreamsRow{"Seventeen", 17, 1},
                                           StreamsRow{"Huge", 0xFFFFFFFF, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TVideoWindow, ModeVmrWhereTheMixingRendererCannotBeMadeFallsBackToNormal) {
  WindowFixture f;
  {
    FakeRenderers unavailable(&f.platform.log, false);
    f.window.SetMode(vmVMR);
    EXPECT_EQ(f.window.Mode(), vmNormal);
  }
  f.window.SetMode(vmVMR);
  EXPECT_EQ(f.window.Mode(), vmVMR);
}

TEST(TVideoWindow, WithTheDefaultsTheMixerIsLoadedAndStreamsTakesTheRenderersAnswer) {
  WindowFixture f;
  f.renderers.onMake = [](FakeMixingRenderer& r) { r.reportedStreams = 2; };
  f.ActivateVmr();
  EXPECT_THAT(f.Calls(), ElementsAre("SetRenderingMode 1", "SetNumberOfStreams 4", "GetNumberOfStreams",
                                     "SetRenderingPrefs 0", "GetRenderingPrefs", "SetAspectRatioMode 1"));
  EXPECT_EQ(f.window.VMROptions().Streams(), 2u);
  EXPECT_EQ(f.window.GetMemberFilter(), f.Mixing());
  EXPECT_EQ(f.platform.LastGraph()->filters, std::vector<BaseFilterPtr>{f.Mixing()});
  EXPECT_EQ(f.Mixing()->nameInGraph, u"VideoWindow1");
}

struct MixerRow {
  const char* name;
  DWORD streams;
  TVMRPreferences preferences;
  bool streamCall;
};

class TVideoWindowMixer : public ::testing::TestWithParam<MixerRow> {};

TEST_P(TVideoWindowMixer, TheStreamCountIsSetOnlyForOtherCountsOrAForcedMixer) {
  WindowFixture f;
  f.window.VMROptions().SetStreams(GetParam().streams);
  f.window.VMROptions().SetPreferences(GetParam().preferences);
  f.ActivateVmr();
  const Entries calls = f.Calls();
  const bool made = std::count(calls.begin(), calls.end(), "SetNumberOfStreams " + std::to_string(GetParam().streams));
  EXPECT_EQ(made, GetParam().streamCall);
}

INSTANTIATE_TEST_SUITE_P(Options, TVideoWindowMixer,
                         ::testing::Values(MixerRow{"FourForced", 4, PreferenceBit(vpForceMixer), true},
                                           MixerRow{"FourUnforced", 4, 0, false},
                                           MixerRow{"EightUnforced", 8, 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TVideoWindow, PreferencesGoWithoutForceMixerAndKeepItAfterTheRenderersAnswer) {
  WindowFixture f;
  f.window.VMROptions().SetPreferences(PreferenceBit(vpForceMixer) | PreferenceBit(vpForceOffscreen) |
                                       PreferenceBit(vpRestrictToInitialMonitor));
  f.renderers.onMake = [](FakeMixingRenderer& r) { r.reportedPrefs = 0x301; };
  f.ActivateVmr();
  EXPECT_EQ(f.Mixing()->prefs, 17u);
  EXPECT_EQ(f.window.VMROptions().Preferences(), PreferenceBit(vpForceOffscreen) | PreferenceBit(vpForceMixer));
}

TEST(TVideoWindow, FullScreenSetWhileInactiveOnlyStoresAndTheNextPlayAppliesIt) {
  WindowFixture f;
  f.window.SetFullScreen(true);
  EXPECT_TRUE(f.window.FullScreen());
  EXPECT_FALSE(f.window.ScreenMouse());
  f.graph.SetActive(true);  // the classic renderer
  f.platform.log.Clear();

  ASSERT_TRUE(f.graph.Play());
  EXPECT_THAT(f.Calls(), ElementsAre("put_Owner nil", "put_WindowStyle 0x46010000", "put_WindowStyleEx 0x00000000",
                                     WindowFixture::ScreenPosition(), "put_Caption VideoWindow1",
                                     "put_MessageDrain VideoWindow1"));
  EXPECT_TRUE(f.window.ScreenMouse());
}

TEST(TVideoWindow, APlayPlacesTheMixingRenderersWindowOverTheControlWithoutCaptionOrDrain) {
  WindowFixture f;
  f.ActivateVmr();
  f.platform.log.Clear();
  ASSERT_TRUE(f.graph.Play());
  EXPECT_THAT(f.Calls(), ElementsAre("put_Owner form", "put_WindowStyle 0x46010000", "put_WindowStyleEx 0x00000000",
                                     "SetWindowPosition 10,20,160,120"));
  EXPECT_EQ(f.Mixing()->drain, nullptr);

  // The renderer reports its display device: now it gets title and drain.
  f.platform.LastGraph()->QueueEvent(EC_VMR_RENDERDEVICE_SET, 4);
  ASSERT_TRUE(gsttest::WaitUntil([&] { return f.Mixing()->drain != nullptr; }));
  EXPECT_EQ(f.Mixing()->drain, &f.window);
  EXPECT_EQ(f.Mixing()->caption, u"VideoWindow1");
}

TEST(TVideoWindow, AResizeMovesTheRendererWindowExceptInFullScreenAndLeavingItPutsItBack) {
  WindowFixture f;
  f.ActivateVmr();
  f.graph.Play();
  f.window.resize(200, 150);
  EXPECT_EQ(f.Mixing()->position, QRect(10, 20, 200, 150));
  f.window.move(30, 40);
  EXPECT_EQ(f.Mixing()->position, QRect(30, 40, 200, 150));

  f.window.SetFullScreen(true);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(f.Mixing()->position, screen);
  EXPECT_EQ(f.Mixing()->owner, nullptr);
  f.window.resize(250, 180);
  EXPECT_EQ(f.Mixing()->position, screen);

  f.window.SetFullScreen(false);
  EXPECT_EQ(f.Mixing()->owner, &f.form);
  EXPECT_EQ(f.Mixing()->style, kChildControlStyle);
  EXPECT_EQ(f.Mixing()->position, QRect(30, 40, 250, 180));
  EXPECT_FALSE(f.window.ScreenMouse());
}

TEST(TVideoWindow, TopMostIsOnlyStoredOutsideFullScreenAndTakesEffectAtOnceInIt) {
  WindowFixture f;
  f.ActivateVmr();
  f.graph.Play();
  f.platform.log.Clear();
  f.window.SetFullScreenTopMost(true);
  EXPECT_TRUE(f.Calls().empty());
  f.window.SetFullScreen(true);
  EXPECT_EQ(f.Mixing()->exStyle, WS_EX_TOPMOST);
  f.window.SetFullScreenTopMost(false);
  EXPECT_EQ(f.Mixing()->exStyle, 0);
  EXPECT_TRUE(f.window.FullScreen());
}

TEST(TVideoWindow, WindowlessTheRendererDrawsIntoTheControlAndFullScreenMovesNothing) {
  WindowFixture f;
  f.window.VMROptions().SetMode(vmrWindowless);
  f.ActivateVmr();
  EXPECT_THAT((Entries{"SetRenderingMode 2", "SetVideoClippingWindow VideoWindow1",
                       "SetVideoPosition nil 0,0,160,120"}),
              IsSubsetOf(f.Calls()));
  EXPECT_EQ(f.window.Query<IVMRWindowlessControl9>(), f.Mixing());
  f.graph.Play();
  f.platform.log.Clear();

  f.window.SetFullScreen(true);
  EXPECT_TRUE(f.window.FullScreen());
  EXPECT_FALSE(f.window.ScreenMouse());
  EXPECT_TRUE(f.Calls().empty());
  f.window.resize(100, 50);
  EXPECT_THAT(f.Calls(), ElementsAre("SetVideoPosition nil 0,0,100,50"));
  // The render-device event is for windowed renderers only.
  f.platform.LastGraph()->QueueEvent(EC_VMR_RENDERDEVICE_SET, 4);
  gsttest::ProcessEvents();
  EXPECT_EQ(f.Mixing()->drain, nullptr);
}

TEST(TVideoWindow, RenderlessIsRefusedBecauseNoAllocatorIsSet) {
  WindowFixture f;
  f.window.VMROptions().SetMode(vmrRenderless);
  f.window.SetMode(vmVMR);
  try {
    f.graph.SetActive(true);
    FAIL() << "activation succeeded";
  } catch (const EMediaLayerException& e) {
    EXPECT_STREQ(e.what(), "Allocator class not set.");
  }
}

TEST(TVideoWindow, ChangingAnOptionWhileActiveLeavesANewUnconnectedRenderer) {
  WindowFixture f;
  f.window.VMROptions().SetStreams(2);  // inactive: only stored
  EXPECT_TRUE(f.renderers.mixing.empty());
  f.ActivateVmr();
  const auto first = f.Mixing();
  first->pins[0]->connected = true;

  f.window.VMROptions().SetStreams(3);
  ASSERT_NE(f.Mixing(), first);
  EXPECT_EQ(first->stops, 1);
  EXPECT_FALSE(first->pins[0]->connected);
  EXPECT_EQ(f.window.GetMemberFilter(), f.Mixing());
  EXPECT_EQ(f.Mixing()->streams, 3u);
  EXPECT_EQ(f.platform.LastGraph()->filters, std::vector<BaseFilterPtr>{f.Mixing()});

  f.window.SetMode(vmNormal);
  EXPECT_EQ(f.window.GetMemberFilter(), f.Classic());
  f.window.VMROptions().SetStreams(5);  // the classic renderer has no options
  EXPECT_EQ(f.window.GetMemberFilter(), f.Classic());
}

TEST(TVideoWindow, KeepAspectRatioAppliesAtOnceWhereTheRendererControlsIt) {
  WindowFixture f;
  f.ActivateVmr();
  f.window.VMROptions().SetKeepAspectRatio(false);
  EXPECT_EQ(f.Mixing()->aspectMode, VMR9ARMode_None);
  f.window.SetMode(vmNormal);
  f.platform.log.Clear();
  f.window.VMROptions().SetKeepAspectRatio(true);
  EXPECT_TRUE(f.window.VMROptions().KeepAspectRatio());
  EXPECT_TRUE(f.Calls().empty());
}

TEST(TVideoWindow, VideoHandleIsTheRendererWindowFoundByClassAndTitle) {
  WindowFixture f;
  f.graph.SetActive(true);
  EXPECT_EQ(f.window.VideoHandle(), nullptr);  // the fake has no window
  QWidget other(&f.form), rendererWindow(&f.form);
  other.setProperty("windowClass", "VideoRenderer");
  other.setWindowTitle("VideoWindow2");
  rendererWindow.setProperty("windowClass", "VideoRenderer");
  rendererWindow.setWindowTitle("VideoWindow1");
  EXPECT_EQ(f.window.VideoHandle(), &rendererWindow);
}

TEST(TVideoWindow, VisibleAlsoShowsAndHidesTheRendererWindow) {
  WindowFixture f;
  f.graph.SetActive(true);
  f.window.setVisible(false);
  EXPECT_FALSE(f.Classic()->visible);
  EXPECT_TRUE(f.window.isHidden());
  f.window.setVisible(true);
  EXPECT_TRUE(f.Classic()->visible);
}

TEST(TVideoWindow, DestroyedItLeavesTheGraphAndStopsItsRenderer) {
  auto f = std::make_unique<WindowFixture>();
  f->graph.SetActive(true);
  const auto renderer = f->Classic();
  auto window = std::make_unique<TVideoWindow>(&f->form, "VideoWindow2");
  window->SetFilterGraph(&f->graph);
  ASSERT_EQ(f->platform.LastGraph()->filters.size(), 2u);
  window.reset();
  EXPECT_EQ(f->platform.LastGraph()->filters, std::vector<BaseFilterPtr>{renderer});

  auto graph = std::make_unique<TFilterGraph>("FilterGraph2");
  TVideoWindow orphan(&f->form, "VideoWindow3");
  orphan.SetFilterGraph(graph.get());
  graph.reset();
  EXPECT_EQ(orphan.FilterGraph(), nullptr);
}

// A second window and a menu last opened from it.
struct MenuFixture : WindowFixture {
  TVideoWindow other{&form, "VideoWindow2"};
  QMenu menu;
  MenuFixture() { TVideoWindowPopup::Record(menu, &other); }
  bool RightClick() {
    const QPoint at(20, 20);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, window.mapToGlobal(at));
    QApplication::sendEvent(&window, &event);
    return event.isAccepted();
  }
  ~MenuFixture() { menu.close(); }
};

TEST(TVideoWindow, ARightClickInFullScreenOpensTheMenuNamingThisWindow) {
  MenuFixture f;
  f.window.SetPopupMenu(&f.menu);
  f.window.SetFullScreen(true);
  EXPECT_TRUE(f.RightClick());
  EXPECT_TRUE(f.menu.isVisible());
  EXPECT_EQ(TVideoWindowPopup::ComponentOf(f.menu), &f.window);
}

TEST(TVideoWindow, WithoutAMenuARightClickIsDroppedInFullScreenAndPassedOnOtherwise) {
  MenuFixture f;
  f.window.SetFullScreen(true);
  EXPECT_TRUE(f.RightClick());  // taken without default handling
  f.window.SetFullScreen(false);
  EXPECT_FALSE(f.RightClick());
  EXPECT_EQ(TVideoWindowPopup::ComponentOf(f.menu), &f.other);
}

struct Mouse {
  std::vector<std::string> events;
  QPoint last;
};

void Send(QWidget& target, QEvent::Type type, QPoint local, QPoint global) {
  QMouseEvent event(type, local, global, Qt::LeftButton, type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&target, &event);
}

TEST(TVideoWindow, ClicksAndDoubleClicksFollowTheButtonsAndFullScreenReportsScreenPositions) {
  WindowFixture f;
  Mouse m;
  f.window.OnClick = [&](TVideoWindow&) { m.events.push_back("click"); };
  f.window.OnDblClick = [&](TVideoWindow&) { m.events.push_back("double"); };
  f.window.OnMouseDown = [&](TVideoWindow&, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    m.events.push_back("down");
    m.last = QPoint(x, y);
  };
  Send(f.window, QEvent::MouseButtonPress, QPoint(5, 6), QPoint(500, 400));
  EXPECT_EQ(m.last, QPoint(5, 6));
  Send(f.window, QEvent::MouseButtonRelease, QPoint(5, 6), QPoint(500, 400));
  Send(f.window, QEvent::MouseButtonDblClick, QPoint(5, 6), QPoint(500, 400));
  Send(f.window, QEvent::MouseButtonRelease, QPoint(5, 6), QPoint(500, 400));
  Send(f.window, QEvent::MouseButtonPress, QPoint(5, 6), QPoint(500, 400));
  Send(f.window, QEvent::MouseButtonRelease, QPoint(400, 6), QPoint(500, 400));  // let go outside
  EXPECT_EQ(m.events, (Entries{"down", "click", "double", "down", "down"}));

  f.graph.SetActive(true);
  f.window.SetFullScreen(true);
  ASSERT_TRUE(f.window.ScreenMouse());
  Send(f.window, QEvent::MouseButtonPress, QPoint(-3, 900), QPoint(700, 500));
  EXPECT_EQ(m.last, QPoint(700, 500));
  Send(f.window, QEvent::MouseButtonRelease, QPoint(-3, 900), QPoint(700, 500));
  EXPECT_EQ(m.events.back(), "click");  // the whole screen is the video
}

}  // namespace
