#pragma once
#include <QImage>
#include <QWidget>

namespace app {

// The splash window of the start-up: borderless, 358 x 225, centred, a grey
// one-pixel outline, the splash picture at (1, 1) and the maker's name near
// the bottom. It has no controls and reacts to nothing. The application owns
// it (no parent); destroying it closes it.
class TsplashForm : public QWidget {
  Q_OBJECT
 public:
  // With the picture from the program's resources; without one when it
  // cannot be decoded.
  TsplashForm();
  explicit TsplashForm(QImage picture);

  // Centres and shows the window, waits (briefly, at most two seconds) until
  // the window system has put it on screen, and paints it completely there,
  // all before returning and without running the program's own events.
  void ShowAndPaint();
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Centre();

  QImage picture_;
};

}  // namespace app
