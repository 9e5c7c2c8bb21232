#include "app/SplashPicture.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include "app/resources/ProgramResources.h"

using app::ProgramResources;
using app::SplashPicture;

namespace {

struct Frame {
  int marker = 0, width = 0, height = 0, components = 0;
  qsizetype at = -1;  // offset of the frame header's marker
};

// The frame header (SOFn) of a JPEG file, by walking its marker segments.
Frame FrameOf(const QByteArray& jpeg) {
  const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(jpeg[i]); };
  for (qsizetype i = 2; i + 9 < jpeg.size() && byte(i) == 0xFF;) {
    const int marker = byte(i + 1);
    if (marker >= 0xC0 && marker <= 0xC2)
      return {marker, byte(i + 7) << 8 | byte(i + 8), byte(i + 5) << 8 | byte(i + 6), byte(i + 9), i};
    i += 2 + (byte(i + 2) << 8 | byte(i + 3));
  }
  return {};
}

TEST(SplashPicture, StoredPictureIsAProgressiveColourJpegOfAbout21KB) {
  const QByteArray jpeg = ProgramResources::SplashJpeg();
  const Frame frame = FrameOf(jpeg);
  EXPECT_EQ(frame.marker, 0xC2) << "progressive";
  EXPECT_EQ(frame.width, 357);
  EXPECT_EQ(frame.height, 224);
  EXPECT_EQ(frame.components, 3);
  EXPECT_GT(jpeg.size(), 18 * 1024);
  EXPECT_LT(jpeg.size(), 24 * 1024);
}

TEST(SplashPicture, DecodesToTheGradientFromLightToBlack) {
  const QImage picture = SplashPicture::Decode(ProgramResources::SplashJpeg());
  ASSERT_EQ(picture.size(), QSize(357, 224));
  const auto grey = [&](int x, int y) { return qGray(picture.pixel(x, y)); };
  EXPECT_GT(grey(5, 3), 200);
  EXPECT_LT(grey(5, 220), 25);
  EXPECT_LT(grey(340, 220), 25);
}

QByteArray Damaged(const char* how) {
  QByteArray jpeg = ProgramResources::SplashJpeg();
  const std::string kind = how;
  if (kind == "empty") return {};
  if (kind == "garbage") {
    QByteArray noise;
    for (int i = 0; i < 4000; ++i) noise.append(static_cast<char>((i * 7919 + 13) % 251));
    return noise;
  }
  if (kind == "header only") return jpeg.left(FrameOf(jpeg).at + 20);
  if (kind == "truncated") return jpeg.left(jpeg.size() / 2);
  if (kind == "end marker inside the scans") return jpeg.left(jpeg.size() / 3) + QByteArray("\xFF\xD9", 2);
  if (kind == "absurd size") {
    const qsizetype at = FrameOf(jpeg).at;
    jpeg[at + 5] = char(0xEA);  // 60000 lines
    jpeg[at + 6] = char(0x60);
    return jpeg;
  }
  if (kind == "png") {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ProgramResources::ProgramIcon().pixmap(32).toImage().save(&buffer, "PNG");
    return png;
  }
  return jpeg;
}

class DamagedPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedPicture, GivesNoPicture) { EXPECT_TRUE(SplashPicture::Decode(Damaged(GetParam())).isNull()); }

INSTANTIATE_TEST_SUITE_P(Table, DamagedPicture,
                         ::testing::Values("empty", "garbage", "header only", "truncated",
                                           "end marker inside the scans", "absurd size", "png"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name)
                             if (c == ' ') c = '_';
                           return name;
                         });

TEST(ProgramIcon, HasTheFiveSizesWithAlpha) {
  const QIcon icon = ProgramResources::ProgramIcon();
  ASSERT_FALSE(icon.isNull());
  QList<QSize> sizes = icon.availableSizes();
  std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
  EXPECT_EQ(sizes, (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}}));
  const QImage large = icon.pixmap(128).toImage();
  EXPECT_TRUE(large.hasAlphaChannel());
  EXPECT_EQ(large.depth(), 32);
  EXPECT_EQ(qAlpha(large.pixel(0, 0)), 0) << "transparent corner";
  EXPECT_EQ(qAlpha(large.pixel(64, 40)), 255) << "opaque camera";
}

}  // namespace
