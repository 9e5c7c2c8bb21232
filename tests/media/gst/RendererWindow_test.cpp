#include "media/gst/RendererWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <vector>

#include "media/framework/Renderers.h"
#include "media/gst/GstTestKit.h"

using namespace media;
using namespace media::gst;

namespace {

struct Area {
  const char* name;
  QRect area;
  QSize aspect;
  bool letterbox;
  QRect expected;
};

class RendererWindowVideoRect : public ::testing::TestWithParam<Area> {};

TEST_P(RendererWindowVideoRect, FitsTheVideoIntoTheWindow) {
  const Area& a = GetParam();
  EXPECT_EQ(RendererWindow::VideoRect(a.area, a.aspect, a.letterbox), a.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, RendererWindowVideoRect,
    ::testing::Values(Area{"LetterboxWide", QRect(0, 0, 400, 150), QSize(640, 480), true, QRect(100, 0, 200, 150)},
                      Area{"LetterboxTall", QRect(0, 0, 160, 300), QSize(640, 480), true, QRect(0, 90, 160, 120)},
                      Area{"LetterboxExact", QRect(0, 0, 320, 240), QSize(640, 480), true, QRect(0, 0, 320, 240)},
                      Area{"Stretch", QRect(0, 0, 400, 150), QSize(640, 480), false, QRect(0, 0, 400, 150)},
                      Area{"UnknownAspect", QRect(0, 0, 400, 150), QSize(), true, QRect(0, 0, 400, 150)}),
    [](const auto& info) { return std::string(info.param.name); });

// Records what reaches it, in its own coordinates.
class Drain : public QWidget {
 public:
  struct Received {
    QEvent::Type type;
    QPoint position;
  };
  std::vector<Received> received;
  bool acceptMenus = true;

 protected:
  bool event(QEvent* e) override {
    switch (e->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
        received.push_back({e->type(), static_cast<QMouseEvent*>(e)->position().toPoint()});
        return true;
      case QEvent::ContextMenu:
        received.push_back({e->type(), static_cast<QContextMenuEvent*>(e)->pos()});
        e->setAccepted(acceptMenus);
        return true;
      case QEvent::KeyPress:
        received.push_back({e->type(), QPoint(static_cast<QKeyEvent*>(e)->key(), 0)});
        return true;
      default: return QWidget::event(e);
    }
  }
};

// A parent holding a control at (30, 20) and the renderer window over it.
struct Sibling {
  QWidget parent;
  Drain control;
  RendererWindow window;
  Sibling() {
    parent.resize(300, 200);
    control.setParent(&parent);
    control.setGeometry(30, 20, 100, 80);
    control.setFocusPolicy(Qt::StrongFocus);
    parent.show();
    window.SetOwner(&parent);
    window.SetStyles(WS_CHILD | WS_CLIPSIBLINGS, 0);
    window.SetPosition(QRect(30, 20, 100, 80));
    window.SetShown(true);
  }
  void Click(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent event(type, at, window.mapToGlobal(QPointF(at)), button, button, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
  }
};

TEST(RendererWindow, WithAnOwnerAndChildStyleItLiesOverTheControlAsItsSibling) {
  Sibling s;
  EXPECT_EQ(s.window.parentWidget(), &s.parent);
  EXPECT_FALSE(s.window.isWindow());
  EXPECT_EQ(s.window.geometry(), QRect(30, 20, 100, 80));
  EXPECT_TRUE(s.window.isVisible());
  EXPECT_EQ(s.window.property("windowClass").toString(), "VideoRenderer");
}

TEST(RendererWindow, WithoutAnOwnerAPositionOnTheWholeScreenIsFullScreen) {
  Sibling s;
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  s.window.SetOwner(nullptr);
  s.window.SetStyles(WS_CHILD, WS_EX_TOPMOST);
  s.window.SetPosition(screen);
  EXPECT_TRUE(s.window.isWindow());
  EXPECT_TRUE(s.window.isFullScreen());
  EXPECT_TRUE(s.window.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(s.window.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(s.window.isVisible());

  s.window.SetOwner(&s.parent);
  s.window.SetStyles(WS_CHILD | WS_CLIPSIBLINGS, 0);
  s.window.SetPosition(QRect(30, 20, 100, 80));
  EXPECT_FALSE(s.window.isWindow());
  EXPECT_FALSE(s.window.isFullScreen());
  EXPECT_EQ(s.window.geometry(), QRect(30, 20, 100, 80));
}

TEST(RendererWindow, ADrainGetsMouseKeyAndMenuInputInItsOwnCoordinatesAndTakesFocus) {
  Sibling s;
  s.window.SetDrain(&s.control);
  s.Click(QEvent::MouseButtonPress, QPoint(5, 6));
  s.Click(QEvent::MouseButtonRelease, QPoint(5, 6));
  s.Click(QEvent::MouseButtonDblClick, QPoint(5, 6));
  QKeyEvent key(QEvent::KeyPress, Qt::Key_F, Qt::NoModifier, "f");
  QApplication::sendEvent(&s.window, &key);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(7, 8), s.window.mapToGlobal(QPoint(7, 8)));
  QApplication::sendEvent(&s.window, &menu);

  ASSERT_EQ(s.control.received.size(), 5u);
  EXPECT_EQ(s.control.received[0].type, QEvent::MouseButtonPress);
  EXPECT_EQ(s.control.received[0].position, QPoint(5, 6));
  EXPECT_EQ(s.control.received[2].type, QEvent::MouseButtonDblClick);
  EXPECT_EQ(s.control.received[3].position, QPoint(Qt::Key_F, 0));
  EXPECT_EQ(s.control.received[4].type, QEvent::ContextMenu);
  EXPECT_EQ(s.control.received[4].position, QPoint(7, 8));
  EXPECT_TRUE(menu.isAccepted());
  EXPECT_EQ(s.parent.focusWidget(), &s.control);
}

TEST(RendererWindow, MenuRequestsTheDrainDoesNotTakeGoOnToTheParent) {
  Sibling s;
  s.control.acceptMenus = false;
  s.window.SetDrain(&s.control);
  QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(7, 8), s.window.mapToGlobal(QPoint(7, 8)));
  QApplication::sendEvent(&s.window, &menu);
  EXPECT_FALSE(menu.isAccepted());
}

TEST(RendererWindow, WithoutADrainInputGoesNowhereElse) {
  Sibling s;
  s.Click(QEvent::MouseButtonPress, QPoint(5, 6));
  EXPECT_TRUE(s.control.received.empty());
}

TEST(RendererWindow, PaintsThePictureInTheVideoRectangleAndTheBorderAroundIt) {
  Sibling s;
  s.window.SetPosition(QRect(0, 0, 200, 100));
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(Qt::green);
  s.window.SetPicture(picture);
  s.window.SetBorderColor(Qt::magenta);
  s.window.SetLetterbox(true, picture.size());
  const QImage shown = s.window.grab().toImage();
  ASSERT_EQ(shown.size(), QSize(200, 100));
  EXPECT_EQ(shown.pixelColor(100, 50), QColor(Qt::green));
  EXPECT_EQ(shown.pixelColor(10, 50), QColor(Qt::magenta));  // bar left of the 133-wide video

  s.window.SetLetterbox(false, picture.size());
  EXPECT_EQ(s.window.grab().toImage().pixelColor(10, 50), QColor(Qt::green));
}

}  // namespace
