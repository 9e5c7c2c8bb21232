#include "app/TsplashForm.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "app/SplashPicture.h"
#include "app/resources/ProgramResources.h"

namespace app {
namespace {

constexpr int kWidth = 358, kHeight = 225;
constexpr int kExposeWaitMs = 2000;
const QColor kOutline(128, 128, 128);
const QRect kLabel(149, 199, 60, 15);

QFont SongTi(int pixels) {
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(pixels);
  return font;
}

}  // namespace

TsplashForm::TsplashForm() : TsplashForm(SplashPicture::Decode(ProgramResources::SplashJpeg())) {}

TsplashForm::TsplashForm(QImage picture) : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
                                           picture_(std::move(picture)) {
  setObjectName(QStringLiteral("splashForm"));
  setWindowTitle(QStringLiteral("splashForm"));
  setFixedSize(kWidth, kHeight);
  setFont(SongTi(13));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TsplashForm::Centre() {
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

void TsplashForm::ShowAndPaint() {
  Centre();
  show();
  // Until it is mapped a paint would go nowhere; user input waits meanwhile.
  // The ticking timer keeps each wait short, so the deadline is seen.
  const QDeadlineTimer deadline(kExposeWaitMs);
  QTimer wake;
  wake.start(20);
  while (windowHandle() && !windowHandle()->isExposed() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
  repaint();
  QGuiApplication::sync();
}

// Shape1 (outline, white inside), Image1 at (1, 1), Label1 over it.
void TsplashForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(kOutline);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (!picture_.isNull()) painter.drawImage(QPoint(1, 1), picture_);
  painter.setPen(Qt::white);
  painter.setFont(SongTi(15));
  painter.drawText(kLabel, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QStringLiteral("Morvane"));
}

}  // namespace app
