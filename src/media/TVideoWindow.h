#pragma once
#include <QColor>
#include <QMenu>
#include <QPointer>
#include <QElapsedTimer>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "media/GraphMember.h"
#include "media/TComponent.h"
#include "media/TVMROptions.h"
#include "media/framework/Filters.h"
#include "media/framework/Renderers.h"

namespace media {

class TFilterGraph;

// vmNormal: the classic video renderer; vmVMR: the mixing renderer.
enum TVideoMode : std::uint8_t { vmNormal = 0, vmVMR = 1 };

// The control a graph's video is shown in: a member of its graph, whose
// filter is the video renderer, and one of its listeners.
//
// Renderer states:
//   none        before the graph's first activation and after moRemoved;
//               property setters only store (Visible also shows the control)
//   created     after moAdding: the renderer is held, named after the control
//   configured  after moAdded: the renderer window (windowed) or windowless
//               control is held; connecting it is the caller's (RenderStream)
// Playing is no state of its own: gcPlay places the renderer window (over the
// control, or over the primary screen in full screen), and the classic
// renderer then gets the control's name as its title and the control as its
// message drain; the mixing renderer gets those when it reports its render
// device (EC_VMR_RENDERDEVICE_SET). Changing Mode or a renderer option while
// the graph is active goes configured -> none -> created -> configured and
// leaves an unconnected renderer.
//
// Interface queries: the control's own interfaces, then the renderer's, so
// the control can be handed wherever a renderer filter is expected.
//
// Mouse input over the video reaches the control from the renderer window;
// in full screen (ScreenMouse) the mouse events report the cursor's screen
// position. Failing platform results raise EDirectShowException out of the
// step that made the call. User-interface thread only.
class TVideoWindow : public QWidget, public TComponent, public IGraphMember, public IGraphListener {
  Q_OBJECT
 public:
  explicit TVideoWindow(QWidget* parent = nullptr, std::string name = "VideoWindow");
  ~TVideoWindow() override;

  // Also the control's object name and, as it has no caption, its
  // accessible name.
  void SetName(std::string name);
  // The owning form has finished creating its controls: the control's own
  // window styles are read now, as the base of the renderer window's.
  void Loaded();

  TVideoMode Mode() const { return mode_; }
  // vmVMR where the mixing renderer cannot be made stores vmNormal.
  void SetMode(TVideoMode mode);
  TFilterGraph* FilterGraph() const { return graph_; }
  void SetFilterGraph(TFilterGraph* graph);
  TVMROptions& VMROptions() { return options_; }
  const TVMROptions& VMROptions() const { return options_; }
  bool FullScreen() const { return fullScreen_; }
  // Without a renderer window the value is only stored; the next play
  // applies it.
  void SetFullScreen(bool fullScreen);
  bool FullScreenTopMost() const { return fullScreenTopMost_; }
  void SetFullScreenTopMost(bool topMost);
  // The renderer window while the renderer window interface is held (nil
  // when none of the parent's children is it), else the control itself.
  OAHWND VideoHandle() const;
  bool ScreenMouse() const { return screenMouse_; }
  QColor Color() const;
  void SetColor(const QColor& color);
  // Shown on a right click; it records the control it was opened from.
  QMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
  // Also shows or hides the renderer window.
  void setVisible(bool visible) override;

  using NotifyEvent = std::function<void(TVideoWindow& sender)>;
  using MouseEvent = std::function<void(TVideoWindow& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                                        int x, int y)>;
  using MouseMoveEvent = std::function<void(TVideoWindow& sender, Qt::KeyboardModifiers shift, int x, int y)>;
  using MouseWheelEvent = std::function<void(TVideoWindow& sender, Qt::KeyboardModifiers shift, int delta,
                                             QPoint position, bool& handled)>;
  using KeyEvent = std::function<void(TVideoWindow& sender, int& key, Qt::KeyboardModifiers shift)>;
  using KeyPressEvent = std::function<void(TVideoWindow& sender, QChar& key)>;

  NotifyEvent OnClick, OnDblClick, OnPaint, OnResize, OnEnter, OnExit;
  MouseEvent OnMouseDown, OnMouseUp;
  MouseMoveEvent OnMouseMove;
  // OnMouseWheel first; when it leaves `handled` false, the one for the
  // direction.
  MouseWheelEvent OnMouseWheel, OnMouseWheelDown, OnMouseWheelUp;
  KeyEvent OnKeyDown, OnKeyUp;
  KeyPressEvent OnKeyPress;

  BaseFilterPtr GetMemberFilter() override { return renderer_; }
  std::string GetMemberName() override { return Name(); }
  void NotifyMember(TMemberOperation operation, int param) override;
  void MemberGraphDestroyed() override { graph_ = nullptr; }
  void HandleGraphEvent(LONG event, LONG_PTR param1, LONG_PTR param2) override;
  void HandleGraphControl(TGraphControl control, int param) override;

  template <class I>
  std::shared_ptr<I> Query() {
    return QueryObject<I>(*this);
  }
  std::vector<UnknownPtr> QueryDelegates() const override { return {renderer_}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool IsSecondPress(const QMouseEvent& event);
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  friend class TVMROptions;

  bool MixerAvailable() const;
  void Rejoin();
  void RecreateRenderer();
  void ApplyKeepAspectRatio(bool keep);
  void CreateRenderer();
  void ConfigureRenderer();
  void ConfigureMixingRenderer();
  void ApplyPreferences(IVMRFilterConfig9& config);
  void DisconnectRenderer();
  void ReleaseRenderer();
  void FullScreenStep(bool fullScreen);
  void ResizeStep();
  void SetCaptionAndDrain();
  void CaptureStyles();
  QPoint MousePosition(const QMouseEvent& event) const;
  void MouseDown(QMouseEvent& event);

  TVMROptions options_;
  TVideoMode mode_ = vmNormal;
  TFilterGraph* graph_ = nullptr;
  bool fullScreen_ = false;
  bool fullScreenTopMost_ = false;
  bool screenMouse_ = false;
  bool clickPending_ = false;
  QElapsedTimer lastPress_;  // the last left press that was no double-click
  QPoint lastPressAt_;
  bool stylesCaptured_ = false;
  LONG savedStyle_ = 0;
  LONG savedExStyle_ = 0;
  QPointer<QMenu> popupMenu_;
  BaseFilterPtr renderer_;
  std::shared_ptr<IVideoWindow> windowControl_;
  std::shared_ptr<IVMRWindowlessControl9> windowlessControl_;
};

}  // namespace media
