#pragma once
#include <QColor>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "media/framework/Types.h"

namespace media::gst {

// The window a video renderer shows its pictures in, standing for the
// platform's renderer window: it is placed by owner, window styles and
// position as that window is.
//  - No owner, or an owner without WS_CHILD in the style: a top-level window
//    (framed with WS_CAPTION, on top with WS_EX_TOPMOST), positioned in
//    screen coordinates; a position that is exactly a screen's bounds makes
//    it full screen on that screen (the only way to cover a screen on every
//    window system).
//  - An owner and WS_CHILD: a child of the owner at the position in the
//    owner's coordinates, above the owner's other children.
// With a message drain it forwards mouse, wheel, keyboard and context-menu
// input to the drain, mapped into the drain's coordinates, and makes the
// drain take focus on a click; input-transparent it lets input fall through
// to whatever lies below (windowless drawing into another window).
// It paints the picture into its video rectangle (the whole window, or the
// largest rectangle of the video's aspect ratio, centred, when letterboxed)
// and the border colour around it. User-interface thread only.
class RendererWindow : public QWidget {
  Q_OBJECT
 public:
  // The class name a search for renderer windows compares.
  static constexpr const char* kClassName = "VideoRenderer";

  RendererWindow();

  void SetOwner(QWidget* owner);
  QWidget* Owner() const { return owner_; }
  void SetStyles(LONG style, LONG exStyle);
  LONG Style() const { return style_; }
  LONG ExStyle() const { return exStyle_; }
  void SetPosition(const QRect& position);
  QRect Position() const { return position_; }
  void SetShown(bool shown);
  bool Shown() const { return shown_; }

  void SetDrain(QWidget* drain) { drain_ = drain; }
  QWidget* Drain() const { return drain_; }
  void SetInputTransparent(bool transparent);

  void SetPicture(QImage picture);
  const QImage& Picture() const { return picture_; }
  // Part of the picture to show; nullopt: all of it.
  void SetSourceRect(std::optional<QRect> source);
  // aspect: the video's display width and height.
  void SetLetterbox(bool letterbox, QSize aspect);
  bool Letterbox() const { return letterbox_; }
  void SetBorderColor(QColor color);
  QRect VideoRect() const { return VideoRect(rect(), aspect_, letterbox_); }
  static QRect VideoRect(const QRect& area, QSize aspect, bool letterbox);

  // Called after each change of size.
  std::function<void()> OnResized;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Place();
  void PlaceTopLevel();
  bool Forward(QEvent* event);
  void ForwardMouse(QMouseEvent& mouse);
  void ForwardWheel(QWheelEvent& wheel);
  void ForwardKey(QEvent& key);
  void ForwardMenu(QContextMenuEvent& menu);

  QPointer<QWidget> owner_;
  LONG style_;
  LONG exStyle_ = 0;
  QRect position_;
  bool shown_ = false;
  QPointer<QWidget> drain_;
  QImage picture_;
  std::optional<QRect> source_;
  bool letterbox_ = false;
  QSize aspect_;
  QColor border_ = Qt::black;
  // What Place last applied, so that only real changes re-parent the window.
  QPointer<QWidget> placedParent_;
  Qt::WindowFlags placedFlags_;
};

}  // namespace media::gst
