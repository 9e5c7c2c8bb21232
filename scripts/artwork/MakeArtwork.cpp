// Draws the program's artwork and writes it into the app's resources:
//   splash.jpg              the splash picture, 357 x 224, progressive JPEG,
//                           three colour components, about 21 KB
//   icons/quadrovia-N.png   the program icon, N = 128, 64, 48, 32, 16, RGBA
// Usage: MakeArtwork <resources folder>. Built and run by scripts/make-artwork.
#include <QFont>
#include <algorithm>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 357, kHeight = 224;
constexpr std::size_t kTargetBytes = 21 * 1024;

// A spherical web camera on a short neck and a round foot, drawn into the
// box (0, 0) - (100, 140); the painter is scaled to where it goes.
void DrawCamera(QPainter& p) {
  p.setPen(Qt::NoPen);
  QLinearGradient foot(0, 118, 0, 140);
  foot.setColorAt(0, QColor(70, 72, 78));
  foot.setColorAt(1, QColor(18, 18, 22));
  p.setBrush(foot);
  p.drawEllipse(QRectF(14, 116, 72, 22));
  p.setBrush(QColor(50, 52, 58));
  p.drawRoundedRect(QRectF(43, 92, 14, 30), 5, 5);

  QRadialGradient shell(QPointF(36, 30), 70);
  shell.setColorAt(0, QColor(252, 252, 252));
  shell.setColorAt(0.55, QColor(196, 200, 208));
  shell.setColorAt(1, QColor(92, 96, 106));
  p.setBrush(shell);
  p.drawEllipse(QRectF(4, 2, 92, 92));

  p.setBrush(QColor(30, 30, 34));
  p.drawEllipse(QRectF(24, 22, 52, 52));
  QRadialGradient glass(QPointF(44, 42), 26);
  glass.setColorAt(0, QColor(70, 110, 170));
  glass.setColorAt(0.6, QColor(20, 34, 70));
  glass.setColorAt(1, QColor(5, 8, 16));
  p.setBrush(glass);
  p.drawEllipse(QRectF(31, 29, 38, 38));
  p.setBrush(QColor(255, 255, 255, 200));
  p.drawEllipse(QRectF(39, 36, 9, 7));
  p.setBrush(QColor(40, 210, 80));
  p.drawEllipse(QRectF(47, 80, 6, 6));
}

QImage Splash(double grain) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient background(0, 0, 0, kHeight);
  background.setColorAt(0, QColor(232, 232, 232));
  background.setColorAt(0.45, QColor(150, 150, 150));
  background.setColorAt(1, QColor(0, 0, 0));
  p.fillRect(image.rect(), background);

  p.save();
  p.translate(18, 44);
  p.scale(1.05, 1.05);
  DrawCamera(p);
  p.restore();

  QFont font(QStringLiteral("DejaVu Sans"));
  font.setBold(true);
  font.setPixelSize(38);
  const QString text = QStringLiteral("Quadrovia");
  QPainterPath title;
  title.addText(QPointF(0, 0), font, text);
  // Across the upper right, clear of the camera and of the right edge.
  const QRectF bounds = title.boundingRect();
  title.translate(kWidth - 12 - bounds.right(), 72);
  p.setPen(QPen(QColor(246, 246, 246), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(title);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawPath(title);
  p.end();

  // A faint sensor grain, fixed by its seed, gives the picture some texture.
  QRandomGenerator noise(1951);
  for (int y = 0; y < kHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kWidth; ++x) {
      const int d = static_cast<int>((noise.generateDouble() - 0.5) * grain);
      auto c = [d](int v) { return std::clamp(v + d, 0, 255); };
      line[x] = qRgb(c(qRed(line[x])), c(qGreen(line[x])), c(qBlue(line[x])));
    }
  }
  return image;
}

std::vector<unsigned char> Progressive(const QImage& image, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = image.width();
  info.image_height = image.height();
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<unsigned char> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  free(buffer);
  return bytes;
}

bool Write(const QString& path, const std::vector<unsigned char>& bytes) {
  FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

// The quality whose file comes nearest the target size.
std::vector<unsigned char> NearTarget(const QImage& image) {
  std::vector<unsigned char> best;
  for (int quality = 50; quality <= 95; ++quality) {
    auto bytes = Progressive(image, quality);
    auto distance = [](std::size_t n) { return n > kTargetBytes ? n - kTargetBytes : kTargetBytes - n; };
    if (best.empty() || distance(bytes.size()) < distance(best.size())) best = std::move(bytes);
  }
  return best;
}

QImage Icon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double scale = size / 140.0;
  p.scale(scale, scale);
  p.translate(20, 0);
  DrawCamera(p);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const auto jpeg = NearTarget(Splash(10.0));
  if (!Write(folder + "/splash.jpg", jpeg)) return 1;
  std::printf("splash.jpg: %zu bytes\n", jpeg.size());
  for (int size : {128, 64, 48, 32, 16}) {
    const QString name = QStringLiteral("%1/icons/quadrovia-%2.png").arg(folder).arg(size);
    if (!Icon(size).save(name, "PNG")) return 1;
  }
  return 0;
}
