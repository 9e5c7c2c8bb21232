#include "app/SplashPicture.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace app {
namespace {

constexpr JDIMENSION kMaxSide = 8192;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf escape;
};

[[noreturn]] void Fail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->escape, 1);
}

// Warnings are corrupt data (premature end, bad Huffman code ...): the picture
// would come out partly grey, so they count as failures too.
void Message(j_common_ptr info, int level) {
  if (level < 0) Fail(info);
}

void Quiet(j_common_ptr) {}

bool Acceptable(const jpeg_decompress_struct& info) {
  const bool space = info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB ||
                     info.jpeg_color_space == JCS_GRAYSCALE;
  return space && info.image_width > 0 && info.image_height > 0 && info.image_width <= kMaxSide &&
         info.image_height <= kMaxSide;
}

// Only plain C objects live across setjmp; the image is made before it.
bool DecodeInto(const QByteArray& jpeg, QImage& image) {
  jpeg_decompress_struct info;
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = Fail;
  errors.base.emit_message = Message;
  errors.base.output_message = Quiet;
  if (setjmp(errors.escape)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.constData()), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&info, TRUE);
  if (!Acceptable(info)) Fail(reinterpret_cast<j_common_ptr>(&info));
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB888);
  if (image.isNull()) Fail(reinterpret_cast<j_common_ptr>(&info));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

QImage SplashPicture::Decode(const QByteArray& jpeg) {
  if (jpeg.isEmpty()) return {};
  QImage image;
  return DecodeInto(jpeg, image) ? image : QImage();
}

}  // namespace app
