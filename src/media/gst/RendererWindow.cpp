#include "media/gst/RendererWindow.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QWheelEvent>
#include <memory>

#include "media/framework/Renderers.h"

namespace media::gst {
namespace {

// WS_OVERLAPPEDWINDOW with WS_CLIPSIBLINGS and WS_CLIPCHILDREN, as a new
// renderer window has.
constexpr LONG kInitialStyle = 0x06CF0000;

}  // namespace

RendererWindow::RendererWindow() : style_(kInitialStyle), position_(0, 0, 320, 240) {
  // Window searches find renderer windows by this class and their title.
  setProperty("windowClass", kClassName);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  setGeometry(position_);
  placedFlags_ = windowFlags();
}

void RendererWindow::SetOwner(QWidget* owner) {
  owner_ = owner;
  Place();
}

void RendererWindow::SetStyles(LONG style, LONG exStyle) {
  style_ = style;
  exStyle_ = exStyle;
  Place();
}

void RendererWindow::SetPosition(const QRect& position) {
  position_ = position;
  Place();
}

void RendererWindow::SetShown(bool shown) {
  shown_ = shown;
  setVisible(shown);
}

void RendererWindow::SetInputTransparent(bool transparent) {
  setAttribute(Qt::WA_TransparentForMouseEvents, transparent);
}

void RendererWindow::Place() {
  const bool child = owner_ && (style_ & WS_CHILD);
  Qt::WindowFlags flags = Qt::Widget;
  if (!child) {
    flags = Qt::Window;
    if (!(style_ & WS_CAPTION)) flags |= Qt::FramelessWindowHint;
    if (exStyle_ & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  }
  if (owner_ != placedParent_ || flags != placedFlags_) {
    setParent(owner_, flags);
    placedParent_ = owner_;
    placedFlags_ = flags;
  }
  if (child) {
    setWindowState(Qt::WindowNoState);
    setGeometry(position_);
    raise();
  } else {
    PlaceTopLevel();
  }
  setVisible(shown_);
}

void RendererWindow::PlaceTopLevel() {
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen->geometry() != position_) continue;
    setScreen(screen);
    setGeometry(position_);
    setWindowState(windowState() | Qt::WindowFullScreen);
    return;
  }
  setWindowState(windowState() & ~Qt::WindowFullScreen);
  setGeometry(position_);
}

void RendererWindow::SetPicture(QImage picture) {
  picture_ = std::move(picture);
  update(VideoRect());
}

void RendererWindow::SetSourceRect(std::optional<QRect> source) {
  if (source == source_) return;
  source_ = source;
  update();
}

void RendererWindow::SetLetterbox(bool letterbox, QSize aspect) {
  if (letterbox == letterbox_ && aspect == aspect_) return;
  letterbox_ = letterbox;
  aspect_ = aspect;
  update();
  if (OnResized) OnResized();
}

void RendererWindow::SetBorderColor(QColor color) {
  border_ = color;
  update();
}

QRect RendererWindow::VideoRect(const QRect& area, QSize aspect, bool letterbox) {
  if (!letterbox || aspect.isEmpty() || area.isEmpty()) return area;
  const QSize fit = aspect.scaled(area.size(), Qt::KeepAspectRatio);
  return QRect(area.x() + (area.width() - fit.width()) / 2, area.y() + (area.height() - fit.height()) / 2,
               fit.width(), fit.height());
}

void RendererWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect video = VideoRect();
  for (const QRect& bar : QRegion(rect()).subtracted(video)) painter.fillRect(bar, border_);
  if (picture_.isNull()) {
    painter.fillRect(video, border_);
    return;
  }
  const QRect source = source_.value_or(picture_.rect());
  // The picture comes in device pixels: one of the video's own size is
  // copied as it is.
  const QSize device = (QSizeF(video.size()) * devicePixelRatioF()).toSize();
  if (source.size() != device) painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(video, picture_, source);
}

void RendererWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (OnResized) OnResized();
}

bool RendererWindow::event(QEvent* event) {
  if (drain_ && Forward(event)) return true;
  return QWidget::event(event);
}

// The drain may go away while it handles what it is sent: nothing of it is
// touched afterwards.
bool RendererWindow::Forward(QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: ForwardMouse(static_cast<QMouseEvent&>(*event)); return true;
    case QEvent::Wheel: ForwardWheel(static_cast<QWheelEvent&>(*event)); return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: ForwardKey(*event); return true;
    case QEvent::ContextMenu: ForwardMenu(static_cast<QContextMenuEvent&>(*event)); return true;
    default: return false;
  }
}

void RendererWindow::ForwardMouse(QMouseEvent& mouse) {
  QWidget* drain = drain_;
  const QPointF global = mouse.globalPosition();
  QMouseEvent copy(mouse.type(), drain->mapFromGlobal(global), global, mouse.button(), mouse.buttons(),
                   mouse.modifiers(), mouse.pointingDevice());
  if (mouse.type() == QEvent::MouseButtonPress && (drain->focusPolicy() & Qt::ClickFocus))
    drain->setFocus(Qt::MouseFocusReason);
  QCoreApplication::sendEvent(drain, &copy);
  mouse.accept();
}

void RendererWindow::ForwardWheel(QWheelEvent& wheel) {
  QWidget* drain = drain_;
  QWheelEvent copy(drain->mapFromGlobal(wheel.globalPosition()), wheel.globalPosition(), wheel.pixelDelta(),
                   wheel.angleDelta(), wheel.buttons(), wheel.modifiers(), wheel.phase(), wheel.inverted(),
                   wheel.source(), wheel.pointingDevice());
  QCoreApplication::sendEvent(drain, &copy);
  wheel.setAccepted(copy.isAccepted());
}

void RendererWindow::ForwardKey(QEvent& key) {
  const std::unique_ptr<QEvent> copy(key.clone());
  QCoreApplication::sendEvent(drain_, copy.get());
  key.setAccepted(copy->isAccepted());
}

// A request the drain does not take goes on to this window's parent, as the
// drain's own would.
void RendererWindow::ForwardMenu(QContextMenuEvent& menu) {
  QWidget* drain = drain_;
  QContextMenuEvent copy(menu.reason(), drain->mapFromGlobal(menu.globalPos()), menu.globalPos(), menu.modifiers());
  QCoreApplication::sendEvent(drain, &copy);
  menu.setAccepted(copy.isAccepted());
}

}  // namespace media::gst
