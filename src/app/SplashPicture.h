#pragma once
#include <QByteArray>
#include <QImage>

namespace app {

// Decodes the splash picture with libjpeg. Anything but a whole, clean JPEG
// in an RGB or grey colour space (truncated or corrupt data, which libjpeg
// would patch up with grey, other colour spaces, sizes beyond 8192 pixels)
// gives a null image; decoding never crashes or prints.
class SplashPicture {
 public:
  static QImage Decode(const QByteArray& jpeg);
};

}  // namespace app
