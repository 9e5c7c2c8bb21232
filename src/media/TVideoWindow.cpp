#include "media/TVideoWindow.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QWheelEvent>
#include <cfenv>

#include "media/WideText.h"
#include "media/MediaErrors.h"
#include "media/TFilterGraph.h"
#include "media/TPinList.h"
#include "media/TVideoWindowPopup.h"
#include "media/framework/ClassFactory.h"
#include "media/framework/EventCodes.h"
#include "media/framework/Identifiers.h"

namespace media {
namespace {

// Styles of a child control as the platform reports them; a renderer window
// takes them as the base of its own.
constexpr LONG kWsClipChildren = 0x02000000;
constexpr LONG kWsTabStop = 0x00010000;
constexpr LONG kWsOverlappedWindow = 0x00CF0000;
constexpr LONG kChildControlStyle = WS_CHILD | WS_CLIPSIBLINGS | kWsClipChildren | kWsTabStop;

// Renderers may change the floating-point environment while they are made;
// it is put back however the creation ends.
class FloatingPointGuard {
 public:
  FloatingPointGuard() { std::fegetenv(&saved_); }
  ~FloatingPointGuard() { std::fesetenv(&saved_); }
  FloatingPointGuard(const FloatingPointGuard&) = delete;
  FloatingPointGuard& operator=(const FloatingPointGuard&) = delete;

 private:
  std::fenv_t saved_;
};

QRect PrimaryScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect();
}

}  // namespace

TVideoWindow::TVideoWindow(QWidget* parent, std::string name)
    : QWidget(parent), TComponent(std::move(name)), options_(*this) {
  setObjectName(QString::fromStdString(Name()));
  setAccessibleName(objectName());
  resize(160, 120);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAutoFillBackground(true);
  SetColor(Qt::black);
}

TVideoWindow::~TVideoWindow() { SetFilterGraph(nullptr); }

void TVideoWindow::SetName(std::string name) {
  TComponent::SetName(std::move(name));
  setObjectName(QString::fromStdString(Name()));
  setAccessibleName(objectName());
}

void TVideoWindow::Loaded() { CaptureStyles(); }

void TVideoWindow::CaptureStyles() {
  savedStyle_ = isWindow() ? kWsOverlappedWindow | WS_CLIPSIBLINGS | kWsClipChildren : kChildControlStyle;
  savedExStyle_ = 0;
  stylesCaptured_ = true;
}

QColor TVideoWindow::Color() const { return palette().color(QPalette::Window); }

void TVideoWindow::SetColor(const QColor& color) {
  QPalette p = palette();
  p.setColor(QPalette::Window, color);
  setPalette(p);
}

void TVideoWindow::SetFilterGraph(TFilterGraph* graph) { ChangeMemberGraph(*this, this, graph_, graph); }

bool TVideoWindow::MixerAvailable() const {
  FloatingPointGuard guard;
  std::shared_ptr<IBaseFilter> probe;
  return CoCreateInstance<IBaseFilter>(CLSID_VideoMixingRenderer9, probe) == S_OK;
}

void TVideoWindow::SetMode(TVideoMode mode) {
  mode_ = mode == vmVMR && !MixerAvailable() ? vmNormal : mode;
  Rejoin();
}

void TVideoWindow::Rejoin() {
  if (!graph_ || !graph_->Active()) return;
  graph_->DetachMember(this);
  graph_->AttachMember(this);
}

void TVideoWindow::RecreateRenderer() {
  if (mode_ == vmVMR) Rejoin();
}

void TVideoWindow::ApplyKeepAspectRatio(bool keep) {
  options_.keepAspectRatio_ = keep;
  if (options_.mode_ != vmrWindowed && options_.mode_ != vmrWindowless) return;
  if (const auto control = Query<IVMRAspectRatioControl9>())
    CheckMediaResult(control->SetAspectRatioMode(keep ? VMR9ARMode_LetterBox : VMR9ARMode_None));
}

void TVideoWindow::SetFullScreen(bool fullScreen) { FullScreenStep(fullScreen); }

void TVideoWindow::SetFullScreenTopMost(bool topMost) {
  fullScreenTopMost_ = topMost;
  if (fullScreen_) FullScreenStep(true);
}

OAHWND TVideoWindow::VideoHandle() const {
  if (!windowControl_) return const_cast<TVideoWindow*>(this);
  const QString title = QString::fromStdString(Name());
  const QWidgetList candidates = parentWidget() ? parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)
                                                : QApplication::topLevelWidgets();
  for (QWidget* candidate : candidates)
    if (candidate->property("windowClass").toString() == "VideoRenderer" && candidate->windowTitle() == title)
      return candidate;
  return nullptr;
}

void TVideoWindow::setVisible(bool visible) {
  QWidget::setVisible(visible);
  if (windowControl_) CheckMediaResult(windowControl_->put_Visible(visible ? OATRUE : OAFALSE));
}

void TVideoWindow::NotifyMember(TMemberOperation operation, int) {
  switch (operation) {
    case moAdding: CreateRenderer(); break;
    case moAdded: ConfigureRenderer(); break;
    case moRemoving: DisconnectRenderer(); break;
    case moRemoved: ReleaseRenderer(); break;
    case moRefresh: break;
  }
}

// Creation results are not examined: without a renderer the later steps
// find nothing to configure.
void TVideoWindow::CreateRenderer() {
  if (mode_ == vmNormal) {
    CoCreateInstance<IBaseFilter>(CLSID_VideoRenderer, renderer_);
    return;
  }
  FloatingPointGuard guard;
  CoCreateInstance<IBaseFilter>(CLSID_VideoMixingRenderer9, renderer_);
  const auto config = media::Query<IVMRFilterConfig9>(renderer_);
  switch (options_.mode_) {
    case vmrWindowed:
      if (config) CheckMediaResult(config->SetRenderingMode(VMR9Mode_Windowed));
      break;
    case vmrWindowless:
      if (config) CheckMediaResult(config->SetRenderingMode(VMR9Mode_Windowless));
      break;
    case vmrRenderless: throw EMediaLayerException("Allocator class not set.");
  }
}

void TVideoWindow::ConfigureRenderer() {
  if (mode_ == vmNormal) windowControl_ = media::Query<IVideoWindow>(renderer_);
  else if (renderer_) ConfigureMixingRenderer();
}

void TVideoWindow::ConfigureMixingRenderer() {
  std::shared_ptr<IVMRFilterConfig9> config;
  if (CheckMediaResult(QueryInterface<IVMRFilterConfig9>(renderer_, config)) != S_OK) return;
  if (options_.streams_ != 4 || (options_.preferences_ & PreferenceBit(vpForceMixer))) {
    CheckMediaResult(config->SetNumberOfStreams(options_.streams_));
    CheckMediaResult(config->GetNumberOfStreams(options_.streams_));
  }
  switch (options_.mode_) {
    case vmrWindowed:
      windowControl_ = media::Query<IVideoWindow>(renderer_);
      ApplyPreferences(*config);
      break;
    case vmrWindowless:
      windowlessControl_ = media::Query<IVMRWindowlessControl9>(renderer_);
      if (windowlessControl_) CheckMediaResult(windowlessControl_->SetVideoClippingWindow(this));
      ApplyPreferences(*config);
      ResizeStep();
      break;
    case vmrRenderless: break;
  }
  config.reset();
  ApplyKeepAspectRatio(options_.keepAspectRatio_);
}

void TVideoWindow::ApplyPreferences(IVMRFilterConfig9& config) {
  const bool forceMixer = options_.preferences_ & PreferenceBit(vpForceMixer);
  CheckMediaResult(config.SetRenderingPrefs(options_.preferences_ & ~PreferenceBit(vpForceMixer)));
  DWORD word = 0;
  CheckMediaResult(config.GetRenderingPrefs(word));
  options_.preferences_ = TVMRPreferences(word & 0xFF);
  if (forceMixer) options_.preferences_ |= PreferenceBit(vpForceMixer);
}

// The renderer is stopped first, so its pins come apart whatever state the
// rest of the graph is in; the answers of these calls are not acted on.
void TVideoWindow::DisconnectRenderer() {
  if (!renderer_) return;
  renderer_->Stop();
  const TPinList pins(renderer_);
  for (std::size_t i = 0; i < pins.Count(); ++i) pins.Item(i)->Disconnect();
}

void TVideoWindow::ReleaseRenderer() {
  windowControl_.reset();
  windowlessControl_.reset();
  renderer_.reset();
}

void TVideoWindow::HandleGraphControl(TGraphControl control, int) {
  if (control != gcPlay) return;
  if (mode_ == vmNormal && windowControl_) {
    FullScreenStep(fullScreen_);
    SetCaptionAndDrain();
  } else if (mode_ == vmVMR) {
    FullScreenStep(fullScreen_);
  }
}

void TVideoWindow::HandleGraphEvent(LONG event, LONG_PTR, LONG_PTR) {
  if (event == EC_PALETTE_CHANGED && windowControl_) {
    FullScreenStep(fullScreen_);
    SetCaptionAndDrain();
  } else if (event == EC_VMR_RENDERDEVICE_SET && options_.mode_ == vmrWindowed && windowControl_) {
    SetCaptionAndDrain();
  }
}

void TVideoWindow::SetCaptionAndDrain() {
  CheckMediaResult(windowControl_->put_Caption(Wide(Name())));
  CheckMediaResult(windowControl_->put_MessageDrain(this));
}

void TVideoWindow::FullScreenStep(bool fullScreen) {
  if (!stylesCaptured_) CaptureStyles();
  if (windowControl_ && fullScreen) {
    LONG exStyle = savedExStyle_ & ~(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
    if (fullScreenTopMost_) exStyle |= WS_EX_TOPMOST;
    const QRect screen = PrimaryScreen();
    CheckMediaResult(windowControl_->put_Owner(nullptr));
    CheckMediaResult(windowControl_->put_WindowStyle(savedStyle_ & ~(WS_CAPTION | WS_THICKFRAME)));
    CheckMediaResult(windowControl_->put_WindowStyleEx(exStyle));
    CheckMediaResult(windowControl_->SetWindowPosition(screen.x(), screen.y(), screen.width(), screen.height()));
    screenMouse_ = true;
  } else if (windowControl_) {
    CheckMediaResult(windowControl_->put_Owner(parentWidget()));
    CheckMediaResult(windowControl_->put_WindowStyle(savedStyle_ | WS_CHILD | WS_CLIPSIBLINGS));
    CheckMediaResult(windowControl_->put_WindowStyleEx(savedExStyle_));
    CheckMediaResult(windowControl_->SetWindowPosition(x(), y(), width(), height()));
    screenMouse_ = false;
  }
  if (windowlessControl_) screenMouse_ = false;
  fullScreen_ = fullScreen;
}

// The answers of the position calls are not examined.
void TVideoWindow::ResizeStep() {
  const bool windowed = mode_ == vmNormal || options_.mode_ == vmrWindowed;
  if (windowed && windowControl_ && !fullScreen_) {
    windowControl_->SetWindowPosition(x(), y(), width(), height());
  } else if (mode_ == vmVMR && options_.mode_ == vmrWindowless && windowlessControl_) {
    const RECT destination{0, 0, width(), height()};
    windowlessControl_->SetVideoPosition(nullptr, &destination);
  }
}

void TVideoWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (OnPaint) OnPaint(*this);
}

void TVideoWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (OnResize) OnResize(*this);
  ResizeStep();
}

// The renderer window follows a move as it follows a resize: it lies over
// the control as its sibling, so a control moved within its parent would
// otherwise leave the video behind.
void TVideoWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  ResizeStep();
}

QPoint TVideoWindow::MousePosition(const QMouseEvent& event) const {
  return screenMouse_ ? event.globalPosition().toPoint() : event.position().toPoint();
}

void TVideoWindow::MouseDown(QMouseEvent& event) {
  const QPoint at = MousePosition(event);
  if (OnMouseDown) OnMouseDown(*this, event.button(), event.modifiers(), at.x(), at.y());
  event.accept();
}

// Presses forwarded from the renderer window arrive as plain presses: the
// toolkit pairs presses into a double-click only within one window, and the
// forwarded copies never reach it as a pair. A second left press within the
// double-click time and distance is taken as the double-click it is.
bool TVideoWindow::IsSecondPress(const QMouseEvent& event) {
  if (event.button() != Qt::LeftButton) return false;
  const QPoint at = event.globalPosition().toPoint();
  const bool second = lastPress_.isValid() && lastPress_.elapsed() < QApplication::doubleClickInterval() &&
                      (at - lastPressAt_).manhattanLength() <= QApplication::startDragDistance();
  if (second) {
    lastPress_.invalidate();
  } else {
    lastPress_.start();
    lastPressAt_ = at;
  }
  return second;
}

void TVideoWindow::mousePressEvent(QMouseEvent* event) {
  if (IsSecondPress(*event)) return mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) clickPending_ = true;
  MouseDown(*event);
}

// In full screen the whole screen is the video, so a click anywhere on it
// counts, wherever the control itself lies.
void TVideoWindow::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = MousePosition(*event);
  const bool click = event->button() == Qt::LeftButton && clickPending_ &&
                     (screenMouse_ || rect().contains(event->position().toPoint()));
  if (event->button() == Qt::LeftButton) clickPending_ = false;
  if (OnMouseUp) OnMouseUp(*this, event->button(), event->modifiers(), at.x(), at.y());
  if (click && OnClick) OnClick(*this);
  event->accept();
}

void TVideoWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    lastPress_.invalidate();
    clickPending_ = false;
    if (OnDblClick) OnDblClick(*this);
  }
  MouseDown(*event);
}

void TVideoWindow::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = MousePosition(*event);
  if (OnMouseMove) OnMouseMove(*this, event->modifiers(), at.x(), at.y());
  event->accept();
}

void TVideoWindow::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  const QPoint at = event->position().toPoint();
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(*this, event->modifiers(), delta, at, handled);
  const MouseWheelEvent& directed = delta < 0 ? OnMouseWheelDown : OnMouseWheelUp;
  if (!handled && delta != 0 && directed) directed(*this, event->modifiers(), delta, at, handled);
  event->setAccepted(handled);
}

void TVideoWindow::keyPressEvent(QKeyEvent* event) {
  int key = event->key();
  if (OnKeyDown) OnKeyDown(*this, key, event->modifiers());
  if (key != 0 && !event->text().isEmpty() && OnKeyPress) {
    QChar character = event->text().front();
    OnKeyPress(*this, character);
  }
  event->accept();
}

void TVideoWindow::keyReleaseEvent(QKeyEvent* event) {
  int key = event->key();
  if (OnKeyUp) OnKeyUp(*this, key, event->modifiers());
  event->accept();
}

void TVideoWindow::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  if (OnEnter) OnEnter(*this);
}

void TVideoWindow::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  if (OnExit) OnExit(*this);
}

// With a popup menu the menu opens where the cursor is and records this
// control as the one it was opened from (in full screen too, where the
// request comes from the screen-sized renderer window). In full screen
// without one the request is dropped; otherwise it goes on to the parent.
void TVideoWindow::contextMenuEvent(QContextMenuEvent* event) {
  if (popupMenu_) {
    TVideoWindowPopup::Record(*popupMenu_, this);
    popupMenu_->popup(event->globalPos());
    event->accept();
  } else if (fullScreen_) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace media
